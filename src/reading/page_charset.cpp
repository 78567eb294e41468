#include "reading/page_charset.h"

#include <cstring>

#include "common/codepage.h"
#include "common/sjis.h"

namespace tickora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kMaxTagBytes = 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Offset of the first occurrence of an ASCII word in text, whatever its case, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view word, std::size_t from = 0) {
    for (std::size_t i = from; i + word.size() <= text.size(); ++i)
        if (StartsWithNoCase(text.substr(i), word)) return i;
    return std::string_view::npos;
}

// The value of the first "charset = value" in text: blanks around '=' allowed, the value
// quoted or not, ending at a quote, ';', '>', '/' or a blank. Empty when there is none.
std::string CharsetParameter(std::string_view text) {
    for (std::size_t at = FindNoCase(text, "charset"); at != std::string_view::npos;
         at = FindNoCase(text, "charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i >= text.size() || text[i] != '=') continue;
        ++i;
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i < text.size() && (text[i] == '"' || text[i] == '\'')) ++i;
        const std::size_t start = i;
        while (i < text.size() && std::strchr("\"';>/", text[i]) == nullptr && !IsBlank(text[i]))
            ++i;
        if (i > start) return std::string(text.substr(start, i - start));
    }
    return {};
}

// The charset named by the first <meta ...> tag that names one.
std::string MetaCharset(std::string_view page) {
    for (std::size_t lt = page.find('<'); lt != std::string_view::npos;
         lt = page.find('<', lt + 1)) {
        if (FindNoCase(page.substr(lt + 1, 4), "meta") != 0 || lt + 5 >= page.size()) continue;
        if (!IsBlank(page[lt + 5]) && page[lt + 5] != '/') continue;
        // A tag is looked at up to its '>' within a bounded length, so that a page of endless
        // unclosed tags costs a pass over the page, not one per tag.
        const std::string_view tag = page.substr(lt, kMaxTagBytes);
        std::string name = CharsetParameter(tag.substr(0, tag.find('>')));
        if (!name.empty()) return name;
    }
    return {};
}

bool NamesUtf8(std::string_view name) {
    for (const std::string_view utf8 : {"utf-8", "utf8"})
        if (name.size() == utf8.size() && StartsWithNoCase(name, utf8)) return true;
    return false;
}

}  // namespace

CharsetDeclaration DeclaredCharset(std::string_view contentType, std::string_view page) {
    using Source = CharsetDeclaration::Source;
    if (page.starts_with(kByteOrderMark)) return {Source::kByteOrderMark, "UTF-8"};
    if (std::string name = CharsetParameter(contentType); !name.empty())
        return {Source::kHeader, std::move(name)};
    if (std::string name = MetaCharset(page); !name.empty())
        return {Source::kMeta, std::move(name)};
    return {};
}

PageCoding CodingOf(const CharsetDeclaration& declared, std::string_view page) {
    if (NamesUtf8(declared.name)) return PageCoding::kUtf8;
    return Contains(page, "Shift_JIS") ? PageCoding::kShiftJis : PageCoding::kEucJp;
}

PageCoding CodingOfPage(std::string_view contentType, std::string_view page) {
    return CodingOf(DeclaredCharset(contentType, page), page);
}

std::string PageTextFor(std::string page, PageCoding coding) {
    return coding == PageCoding::kUtf8 ? Utf8PageToCp932(page) : std::move(page);
}

std::string Utf8PageToCp932(std::string_view utf8) {
    if (utf8.starts_with(kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
    return Utf8ToCp932(utf8);
}

const char* CodingName(PageCoding coding) {
    switch (coding) {
        case PageCoding::kShiftJis:
            return "Shift_JIS";
        case PageCoding::kEucJp:
            return "EUC-JP";
        case PageCoding::kUtf8:
            return "UTF-8, converted to code page 932";
    }
    return "";
}

}  // namespace tickora
