#pragma once
#include <string>
#include <string_view>

namespace tickora {

// Drive and directory of the program's own path (argument zero), ending in a separator;
// empty when the path has no directory part, so that files resolve in the current folder.
std::string ProgramFolder(std::string_view argv0);

// The program's path as the shell found it: a name without a slash is looked up in the
// PATH list (":"-separated, an empty entry the current folder) as execvp does, and the first
// executable regular file found is taken, not followed through links, so a link to the
// program in another folder gives that folder its own files. Unfound, argv0 stands.
std::string ResolveProgramPath(std::string_view argv0, std::string_view pathList);

// The program file's name without its extension: the caption of the message boxes.
std::string ProgramBaseName(std::string_view argv0);

}  // namespace tickora
