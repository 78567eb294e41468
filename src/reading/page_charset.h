#pragma once
// How the program reads the bytes of a quote page. Pages of today are UTF-8; they are turned
// into code page 932 once, after reading, and from then on are read like a page marked
// Shift_JIS. Every other page keeps the byte-exact handling of the older pages.

#include <string>
#include <string_view>

namespace tickora {

enum class PageCoding {
    kShiftJis,  // the page mentions "Shift_JIS": fields are taken as they stand
    kEucJp,     // anything else: the name is converted from EUC-JP, the minus rule applies
    kUtf8,      // declares UTF-8: converted to CP932, then read as kShiftJis
};

// Where a page's charset was found, and what it says (as written, without quotes).
struct CharsetDeclaration {
    enum class Source { kUndeclared, kHeader, kMeta, kByteOrderMark };
    Source source = Source::kUndeclared;
    std::string name;
};

// The charset a page declares: a UTF-8 byte-order mark, else the charset parameter of the
// Content-Type header, else the first <meta charset=...> or <meta http-equiv="Content-Type"
// content="...; charset=..."> of the page. Names and attributes are matched without regard to
// case, quoted or not.
CharsetDeclaration DeclaredCharset(std::string_view contentType, std::string_view page);

// kUtf8 when the declaration names UTF-8 (whatever else the page mentions), else as the page's
// own text marks it.
PageCoding CodingOf(const CharsetDeclaration& declared, std::string_view page);

// The coding of a page from its Content-Type header and its bytes: the two calls above.
PageCoding CodingOfPage(std::string_view contentType, std::string_view page);

// The text extraction reads: a UTF-8 page converted to CP932, any other page as it is.
std::string PageTextFor(std::string page, PageCoding coding);

// UTF-8 to CP932 for page text: a byte-order mark at the start is dropped, a character CP932
// cannot hold becomes one '?', and so does every byte that is not valid UTF-8. Nothing else
// changes.
std::string Utf8PageToCp932(std::string_view utf8);

// "Shift_JIS", "EUC-JP", "UTF-8 converted to code page 932": for people reading a report.
const char* CodingName(PageCoding coding);

}  // namespace tickora
