#include "common/program_folder.h"

namespace tickora {

std::string ProgramFolder(std::string_view argv0) {
    const auto slash = argv0.find_last_of('/');
    if (slash == std::string_view::npos) return {};
    return std::string(argv0.substr(0, slash + 1));
}

std::string ProgramBaseName(std::string_view argv0) {
    const auto slash = argv0.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? argv0 : argv0.substr(slash + 1);
    // A leading dot starts a hidden name, not an extension.
    const auto dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

}  // namespace tickora
