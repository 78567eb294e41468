#pragma once
// An ini file read and written on CP932 bytes, keeping every line it does not change.
//
// Reading:
// - Lines end at LF, CR LF or a lone CR; blanks (space, tab, CR, LF, VT, FF, ^Z) around a
//   line, a name or a value are ignored. A UTF-8 byte-order mark at the start is skipped.
// - '[name]' opens a section; the name ends at the first ']' that is not the second byte
//   of a double-byte character, and text after it is ignored. '[' without ']' is no header.
// - 'name=value' is a key; the name ends at the first '='. A line starting with ';' is a
//   comment, and a line without '=' is no key: both are kept but never found.
// - Lines before the first header belong to no section and are never found.
// - Names are compared without regard to ASCII case; the second byte of a double-byte
//   character is compared exactly. The first matching section, and in it the first
//   matching key, wins.
// - A value is a C string (it ends at its first zero byte) and loses one pair of enclosing
//   quotes (" or '), then is cut to the buffer less one byte, never inside a character.
//
// Writing:
// - Every line that is not written stays byte-exact, its line end included, and a
//   byte-order mark the file began with is kept.
// - An existing key has its line rewritten as 'name=value' CR LF (the file's spelling of the
//   name is kept); a new key goes after the last key line of its section (before trailing
//   comments and blank lines), a new section at the end of the file, without a blank line
//   before it.
// - A written name or value is one line: it ends at its first zero byte, CR or LF.
// - Deleting a section removes its header and every line up to the next header, for every
//   section of that name, so that no stale key survives in a duplicate.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/safe_file.h"

namespace tickora {

class IniFile {
  public:
    static IniFile Parse(std::string_view bytes);
    // A file that is missing or cannot be read is an empty one; status says which, and holds
    // the bytes read.
    static IniFile Load(const std::string& path, FileRead* status = nullptr);

    // The value, or def (less its trailing blanks) when the section or key is absent, cut to
    // bufferSize - 1 bytes.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          std::size_t bufferSize) const;
    // The leading decimal integer of the value: blanks, an optional sign, digits, wrapping
    // modulo 2^32; 0 when there are no digits. def when the key is absent
    // or its value is empty.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void DeleteSection(std::string_view section);

    std::string Serialize() const;
    // In one step (ReplaceWholeFile): false, with the reason, when the old file was left as
    // it was.
    bool Save(const std::string& path, std::string* why = nullptr) const;

  private:
    enum class Kind { kBlank, kComment, kSection, kKey, kOther };
    struct Line {
        std::string raw;  // the bytes of the line, its LF included when it has one
        Kind kind = Kind::kBlank;
        std::size_t nameStart = 0, nameSize = 0;    // section or key name, trimmed
        std::size_t valueStart = 0, valueSize = 0;  // key value, trimmed
        std::string_view Name() const { return std::string_view(raw).substr(nameStart, nameSize); }
        std::string_view Value() const {
            return std::string_view(raw).substr(valueStart, valueSize);
        }
    };
    static Line MakeLine(std::string raw);

    // [begin, end) line range of the first section named so; begin is the header.
    bool FindSection(std::string_view name, std::size_t& begin, std::size_t& end) const;
    std::size_t SectionEnd(std::size_t header) const;
    const Line* FindKey(std::string_view section, std::string_view key) const;
    void EndLastLine(std::size_t index);

    std::vector<Line> lines_;
    bool bom_ = false;
};

}  // namespace tickora
