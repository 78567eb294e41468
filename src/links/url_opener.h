#pragma once
// Where a link goes: the desktop's browser in the program, a recorder in tests.

#include <memory>
#include <string>

namespace tickora {

class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // Hands the URL (CP932) to the browser and returns at once; the outcome is not reported.
    virtual void Open(const std::string& url) = 0;
};

// QDesktopServices: xdg-open or the desktop portal, never a shell.
std::shared_ptr<UrlOpener> MakeDesktopUrlOpener();

}  // namespace tickora
