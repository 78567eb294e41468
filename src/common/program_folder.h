#pragma once
#include <string>
#include <string_view>

namespace tickora {

// Drive and directory of the program's own path (argument zero), ending in a separator;
// empty when the path has no directory part, so that files resolve in the current folder.
std::string ProgramFolder(std::string_view argv0);

// The program file's name without its extension: the caption of the message boxes.
std::string ProgramBaseName(std::string_view argv0);

// folder + name, as the program names every file that lies beside it.
inline std::string FileBesideProgram(std::string_view folder, std::string_view name) {
    return std::string(folder) + std::string(name);
}

}  // namespace tickora
