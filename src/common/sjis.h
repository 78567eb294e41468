#pragma once
// Code-page-932 byte-string primitives. Every text in the program is a std::string of
// CP932 bytes; offsets and lengths count bytes, and searches never start a match on the
// second byte of a double-byte character.

#include <cstddef>
#include <string>
#include <string_view>

namespace tickora {

// Offset type of the text primitives; kNone (-1) means "not found" and keeps the
// arithmetic on offsets (e - v - len) well defined.
using Offset = long;
inline constexpr Offset kNone = -1;

constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// First occurrence of needle at or after from, stepping over double-byte characters.
// An empty needle is found at from; from past the end finds nothing.
Offset Find(std::string_view text, std::string_view needle, Offset from = 0);

// A prefix test that folds ASCII case, except inside double-byte characters.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Convenience: true when needle occurs anywhere (character-aware).
inline bool Contains(std::string_view text, std::string_view needle) {
    return Find(text, needle, 0) != kNone;
}

// count bytes from first on; negative first or count count as 0; ends at the text's end.
std::string Cut(std::string_view text, Offset first, Offset count);
std::string Cut(std::string_view text, Offset first);

// At most maxBytes bytes, never ending inside a double-byte character.
std::string CutToBytes(std::string_view text, std::size_t maxBytes);

// Every byte a character of code page 932: ASCII, a half-width katakana, or a lead byte with
// its second byte.
bool IsCp932Text(std::string_view text);

// A text seen as a C string: everything before its first zero byte.
std::string_view UpToNul(std::string_view text);

// Replaces every occurrence of from (character-aware, left to right, non-overlapping).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace tickora
