#include "links/link_templates.h"

#include "common/codepage.h"
#include "common/endpoints.h"
#include "common/market_table.h"
#include "common/safe_file.h"
#include "common/sjis.h"
#include "common/text_lines.h"

namespace tickora {

namespace {

// A default line: the label padded with blanks so that "_" stands at byte `at`.
std::string Line(std::string_view labelUtf8, std::size_t at, std::string_view host,
                 std::string_view pathAndQueryUtf8) {
    std::string line = Sj(labelUtf8);
    line.resize(at, ' ');
    return line + "_" + std::string(host) + Sj(pathAndQueryUtf8);
}

}  // namespace

std::string StockListPath(std::string_view programFolder) {
    return std::string(programFolder) + "銘柄URL.txt";
}

std::string NikkeiListPath(std::string_view programFolder) {
    return std::string(programFolder) + "日経URL.txt";
}

const std::vector<std::string>& DefaultStockLines() {
    using namespace endpoints;
    static const std::vector<std::string> lines = {
        Line("Yahoo finance", 15, kQuoteHost, "/q?s=銘柄.市場"),
        Line("1日株価", 15, kQuoteHost, "/q?s=銘柄.市場&d=1d"),
        Line("3ヶ月株価", 15, kQuoteHost,
             "/q?s=銘柄.市場&d=c&k=c3&t=3m&l=off&z=m&q=c&p=m25,m75,s&h=on&a=v"),
        Line("1年株価", 15, kQuoteHost,
             "/q?s=銘柄.市場&d=c&k=c3&a=v&p=m65,m130,s&t=1y&l=off&z=m&q=c&h=on"),
        Line("日経株価情報", 15, kCompanyHost, "/index.cfm?scode=銘柄"),
        Line("Yahoo掲示板", 15, kBoardHost, "/bbs?action=topics&board=100銘柄&sid=100銘柄&type=r"),
    };
    return lines;
}

const std::vector<std::string>& DefaultNikkeiLines() {
    using namespace endpoints;
    static const std::vector<std::string> lines = {
        Line("Yahoo日経", 12, kQuoteHost, "/q?s=998407"),
        Line("日経net", 12, kMarketsHost, "/"),
    };
    return lines;
}

UrlList ReadUrlList(const std::string& path, const std::vector<std::string>& defaults) {
    const FileRead read = ReadWholeFile(path);
    if (read.status != ReadStatus::Ok)
        return {defaults, read.status == ReadStatus::Missing, false, read.why};
    return {SplitLines(read.bytes), true, read.bytes.starts_with(kUtf8Bom), {}};
}

bool WriteUrlList(const std::string& path, const UrlList& list, std::string* why) {
    if (!list.writable) {
        if (why) *why = list.why;
        return false;
    }
    std::string bytes = list.bom ? std::string(kUtf8Bom) : std::string();
    for (const std::string& line : list.lines) bytes += line + "\r\n";
    return ReplaceWholeFile(path, bytes, why);
}

std::optional<LinkLine> SplitLinkLine(std::string_view line) {
    const Offset p = Find(line, "_");
    if (p == kNone) return std::nullopt;
    std::string label = Cut(line, 0, p - 1);
    while (!label.empty() && label.back() == ' ') label.pop_back();
    return LinkLine{std::move(label), Cut(line, p + 1)};
}

std::optional<std::string> ExpandStockLink(std::string_view linkTemplate,
                                           const SuffixTable& suffixes, std::string_view code,
                                           std::string_view marketText) {
    const int market = FindMarketByPrefix(marketText);
    if (code.size() == 4 && market < 0) return std::nullopt;
    return ExpandQuoteUrl(linkTemplate, suffixes, code, market);
}

bool IsWebLink(std::string_view url) {
    for (const char c : url)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    std::string_view authority = url;
    if (StartsWithNoCase(url, "http://"))
        authority.remove_prefix(7);
    else if (StartsWithNoCase(url, "https://"))
        authority.remove_prefix(8);
    else
        return false;
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const auto at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    // The host is what stands before a port: "[::1]:80", "example.com:80".
    const auto port = authority.starts_with('[') ? authority.find("]:") : authority.find(':');
    const std::string_view host = authority.substr(
        0, port == std::string_view::npos ? authority.size() : port + authority.starts_with('['));
    return !host.empty() && host != "[]";
}

}  // namespace tickora
