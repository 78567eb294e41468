#pragma once
#include <string_view>

namespace tickora {

// The application object: runs the main window modally; when it ends, the program ends.
class CQuoteApp {
  public:
    // argv0 fixes the folder of every file. Returns false, which ends the program.
    bool InitInstance(std::string_view argv0);
};

}  // namespace tickora
