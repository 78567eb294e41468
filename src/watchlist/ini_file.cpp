#include "watchlist/ini_file.h"

#include <cstdint>

#include "common/leading_int.h"
#include "common/safe_file.h"
#include "common/sjis.h"
#include "common/text_lines.h"

namespace tickora {

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

// No second byte of a double-byte character is a blank (they are all 0x40 or above), so
// trimming bytes from either end never splits a character.
void Trim(std::string_view text, std::size_t& start, std::size_t& size) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    start = b;
    size = e - b;
}

std::string_view Trimmed(std::string_view text) {
    std::size_t start = 0, size = 0;
    Trim(text, start, size);
    return text.substr(start, size);
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII case is ignored; a double-byte character must match exactly, so that a second byte
// that happens to be a letter is never folded.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        if (IsLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i]) return false;
            if (i + 1 < a.size() && a[i + 1] != b[i + 1]) return false;
            i += 2;
        } else {
            if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
            ++i;
        }
    }
    return true;
}

// A name as the caller gives it: a C string, blanks around it ignored.
std::string_view CleanName(std::string_view name) {
    return Trimmed(UpToNul(name));
}

std::string_view OneLine(std::string_view value) {
    const auto end = value.find_first_of(std::string_view("\0\r\n", 3));
    return end == std::string_view::npos ? value : value.substr(0, end);
}

}  // namespace

IniFile::Line IniFile::MakeLine(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    const std::string_view text(line.raw);
    std::size_t start = 0, size = 0;
    Trim(text, start, size);
    const std::string_view body = text.substr(start, size);
    if (body.empty()) return line;
    if (body.front() == ';') {
        line.kind = Kind::kComment;
        return line;
    }
    if (body.front() == '[') {
        const Offset close = Find(body, "]", 1);
        if (close != kNone) {
            line.kind = Kind::kSection;
            const auto inner = body.substr(1, static_cast<std::size_t>(close) - 1);
            std::size_t s = 0, n = 0;
            Trim(inner, s, n);
            line.nameStart = start + 1 + s;
            line.nameSize = n;
            return line;
        }
    }
    const Offset eq = Find(body, "=", 0);
    if (eq == kNone) {
        line.kind = Kind::kOther;
        return line;
    }
    line.kind = Kind::kKey;
    const auto e = static_cast<std::size_t>(eq);
    std::size_t s = 0, n = 0;
    Trim(body.substr(0, e), s, n);
    line.nameStart = start + s;
    line.nameSize = n;
    Trim(body.substr(e + 1), s, n);
    line.valueStart = start + e + 1 + s;
    line.valueSize = n;
    return line;
}

IniFile IniFile::Parse(std::string_view bytes) {
    IniFile ini;
    // An editor's byte-order mark is no part of the first line; it is written back.
    if (bytes.starts_with(kUtf8Bom)) {
        ini.bom_ = true;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t end = pos;
        while (end < bytes.size() && LineEndAt(bytes, end) == 0) ++end;
        end += LineEndAt(bytes, end);
        ini.lines_.push_back(MakeLine(std::string(bytes.substr(pos, end - pos))));
        pos = end;
    }
    return ini;
}

IniFile IniFile::Load(const std::string& path, FileRead* status) {
    FileRead read = ReadWholeFile(path);
    IniFile ini = read.status == ReadStatus::Ok ? Parse(read.bytes) : IniFile();
    if (status) *status = std::move(read);
    return ini;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::kSection) ++end;
    return end;
}

bool IniFile::FindSection(std::string_view name, std::size_t& begin, std::size_t& end) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::kSection && SameName(lines_[i].Name(), name)) {
            begin = i;
            end = SectionEnd(i);
            return true;
        }
    }
    return false;
}

const IniFile::Line* IniFile::FindKey(std::string_view section, std::string_view key) const {
    std::size_t begin = 0, end = 0;
    if (!FindSection(CleanName(section), begin, end)) return nullptr;
    const auto name = CleanName(key);
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::kKey && SameName(lines_[i].Name(), name)) return &lines_[i];
    }
    return nullptr;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               std::size_t bufferSize) const {
    std::string_view text;
    if (const Line* line = FindKey(section, key)) {
        text = UpToNul(line->Value());
        if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
            text.back() == text.front()) {
            text = text.substr(1, text.size() - 2);
        }
    } else {
        text = UpToNul(def);
        while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    }
    if (bufferSize == 0) return std::string();
    return CutToBytes(text, bufferSize - 1);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
    // Read through the string rules (quotes go), with a buffer of 30 bytes.
    const Line* line = FindKey(section, key);
    if (line == nullptr) return def;
    const std::string text = GetString(section, key, "", 30);
    if (text.empty()) return def;
    // Unlike LeadingInt, the value wraps modulo 2^32.
    const LeadingNumber number = SplitLeadingNumber(text);
    std::uint32_t value = 0;
    for (const char digit : number.digits)
        value = value * 10u + static_cast<std::uint32_t>(digit - '0');
    if (number.negative) value = 0u - value;
    return static_cast<int>(value);
}

void IniFile::EndLastLine(std::size_t index) {
    Line& line = lines_[index];
    if (line.raw.empty() || (line.raw.back() != '\n' && line.raw.back() != '\r'))
        line = MakeLine(line.raw + "\r\n");
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    // Names and value are kept to one line each so that a write never adds a line of its own.
    const auto sectionName = CleanName(OneLine(section));
    const auto keyName = CleanName(OneLine(key));
    const auto text = OneLine(value);

    std::size_t begin = 0, end = 0;
    if (!FindSection(sectionName, begin, end)) {
        if (!lines_.empty()) EndLastLine(lines_.size() - 1);
        lines_.push_back(MakeLine("[" + std::string(sectionName) + "]\r\n"));
        lines_.push_back(MakeLine(std::string(keyName) + "=" + std::string(text) + "\r\n"));
        return;
    }
    std::size_t insertAfter = begin;
    for (std::size_t i = begin + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::kKey && SameName(line.Name(), keyName)) {
            lines_[i] = MakeLine(std::string(line.Name()) + "=" + std::string(text) + "\r\n");
            return;
        }
        if (line.kind == Kind::kKey || line.kind == Kind::kOther) insertAfter = i;
    }
    EndLastLine(insertAfter);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAfter + 1),
                  MakeLine(std::string(keyName) + "=" + std::string(text) + "\r\n"));
}

void IniFile::DeleteSection(std::string_view section) {
    const auto name = CleanName(section);
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size();) {
        if (lines_[i].kind == Kind::kSection && SameName(lines_[i].Name(), name)) {
            i = SectionEnd(i);
            continue;
        }
        kept.push_back(std::move(lines_[i]));
        ++i;
    }
    lines_ = std::move(kept);
}

std::string IniFile::Serialize() const {
    std::size_t total = kUtf8Bom.size();
    for (const Line& line : lines_) total += line.raw.size();
    std::string out;
    out.reserve(total);
    if (bom_) out += kUtf8Bom;
    for (const Line& line : lines_) out += line.raw;
    return out;
}

bool IniFile::Save(const std::string& path, std::string* why) const {
    return ReplaceWholeFile(path, Serialize(), why);
}

}  // namespace tickora
