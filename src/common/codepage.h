#pragma once
// The one boundary between the program's CP932 bytes and the UTF-8 of the toolkit and
// the file system.

#include <string>
#include <string_view>

namespace tickora {

// CP932 -> UTF-8. Bytes that are not valid CP932 become U+FFFD; never fails.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 -> CP932. A character CP932 cannot hold becomes one '?', and so does every byte that
// is not valid UTF-8.
std::string Utf8ToCp932(std::string_view utf8);

// Length of the well-formed UTF-8 sequence at the start of bytes, or 0 when none starts there.
std::size_t Utf8SequenceLength(std::string_view bytes);

// The character the UTF-8 text starts with, and in length its bytes: one for a byte that
// starts no well-formed sequence, which is then taken as it is.
char32_t Utf8CodePoint(std::string_view bytes, std::size_t& length);
// One character as UTF-8.
std::string Utf8Of(char32_t c);
// The start of the UTF-8 character that holds byte at: never inside a character.
std::size_t Utf8CharacterStart(std::string_view text, std::size_t at);

// Well-formed UTF-8 that holds at least one character beyond ASCII.
bool IsNonAsciiUtf8(std::string_view bytes);

// CP932 bytes of a UTF-8 literal, for the program's own fixed texts.
inline std::string Sj(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

}  // namespace tickora
