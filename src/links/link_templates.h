#pragma once
// The link templates: the two URL list files beside the program, their default lines, and
// how a line or a template becomes a link.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quotes/quote_url.h"

namespace tickora {

// 銘柄URL.txt and 日経URL.txt (UTF-8 names; the contents are CP932).
std::string StockListPath(std::string_view programFolder);
std::string NikkeiListPath(std::string_view programFolder);

// The lines that stand in for a list file that cannot be read, CP932.
const std::vector<std::string>& DefaultStockLines();
const std::vector<std::string>& DefaultNikkeiLines();

struct UrlList {
    std::vector<std::string> lines;
    // False when the file is there but could not be read: it is never written then.
    bool writable = true;
    bool bom = false;  // the file began with a UTF-8 byte-order mark, kept when written
    std::string why;   // why it could not be read, when it could not
};

// The file's lines in file order, empty lines included; the defaults when it cannot be read.
UrlList ReadUrlList(const std::string& path, const std::vector<std::string>& defaults);
// Each line followed by CR LF, replacing the file in one step; false (the file left as it
// was) when it must not or cannot be written.
bool WriteUrlList(const std::string& path, const UrlList& list, std::string* why = nullptr);

// A list line split at its first "_": the label (the bytes before it less the one directly
// before it, trailing one-byte blanks removed) and the URL after it; nullopt without "_".
struct LinkLine {
    std::string label, url;
};
std::optional<LinkLine> SplitLinkLine(std::string_view line);

// A stock link from a template, as the quote URL is made from BASE_URL. A four-byte code on
// a market named nowhere in the market table has no link (nullopt): its suffix is unknown.
std::optional<std::string> ExpandStockLink(std::string_view linkTemplate,
                                           const SuffixTable& suffixes, std::string_view code,
                                           std::string_view marketText);

// An absolute http or https URL with a host. Only such a link is handed to the browser, so that
// a settings file or URL list from someone else cannot make a click open a local file, another
// scheme or pass an option.
bool IsWebLink(std::string_view url);

}  // namespace tickora
