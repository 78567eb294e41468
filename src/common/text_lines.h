#pragma once
// Lines of the program's text files. A line ends at LF, CR LF or a lone CR, so files from
// any system read alike; a last line without an end is still a line. A UTF-8 byte-order
// mark that an editor put at the start is no part of the first line.

#include <string>
#include <string_view>
#include <vector>

namespace tickora {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The length of the line end that starts at pos (0 when none does).
std::size_t LineEndAt(std::string_view text, std::size_t pos);

// The lines of text, without their line ends.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace tickora
