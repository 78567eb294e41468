#include "common/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tickora {

std::string ProgramFolder(std::string_view argv0) {
    const auto slash = argv0.find_last_of('/');
    if (slash == std::string_view::npos) return {};
    return std::string(argv0.substr(0, slash + 1));
}

std::string ResolveProgramPath(std::string_view argv0, std::string_view pathList) {
    if (argv0.empty() || argv0.find('/') != std::string_view::npos) return std::string(argv0);
    for (std::size_t at = 0; at <= pathList.size();) {
        const auto colon = std::min(pathList.find(':', at), pathList.size());
        const std::string_view dir = pathList.substr(at, colon - at);
        const std::string candidate =
            (dir.empty() ? std::string(".") : std::string(dir)) + "/" + std::string(argv0);
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = colon + 1;
    }
    return std::string(argv0);
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
