#include "common/program_folder.h"

namespace tickora {

std::string ProgramFolder(std::string_view argv0) {
    const auto slash = argv0.find_last_of('/');
    if (slash == std::string_view::npos) return {};
    return std::string(argv0.substr(0, slash + 1));
}

}  // namespace tickora
