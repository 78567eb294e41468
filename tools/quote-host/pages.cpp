#include "pages.h"

#include <vector>

#include "encoding.h"

namespace tickora::quotehost {

namespace {

constexpr const char* kSiteName = "TICKORA デモ相場";

std::string Head(std::string_view title, std::string_view charset) {
    std::string h;
    h += "<html>\n<head>\n";
    h += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
    h += charset;
    h += "\">\n";
    h += "<title>";
    h += title;
    h += "</title>\n";
    h += "<style type=\"text/css\">\n";
    h += "body { font-family: sans-serif; }\n";
    h += "td, th { font-size: small; }\n";
    h += "</style>\n";
    h += "</head>\n";
    h += "<body bgcolor=\"#ffffff\" text=\"#000000\">\n";
    return h;
}

std::string NavigationBar(std::string_view code) {
    std::string n;
    n += "<table width=\"100%\" cellspacing=0 cellpadding=2 border=0>\n";
    n += "<tr><td><a href=\"/\"><b>";
    n += kSiteName;
    n += "</b></a></td>\n<td align=right>";
    if (!code.empty()) {
        n += "<a href=\"/bbs?code=" + std::string(code) + "\">掲示板</a> | ";
        n += "<a href=\"/index.cfm?code=" + std::string(code) + "\">企業情報</a> | ";
    }
    n += "<a href=\"/\">ホーム</a></td></tr>\n</table>\n<hr noshade size=1>\n";
    return n;
}

std::string Footer() {
    return "<hr noshade size=1>\n"
           "<p><small>このページの銘柄と相場はすべて架空のものです。</small></p>\n"
           "<address>tickora quote host</address>\n"
           "</body>\n</html>\n";
}

// EUC-JP pages mark a negative number in red; the client then cuts the number out of
// the markup by its minus sign.
std::string Cell(const std::string& text, PageKind kind) {
    if (kind == PageKind::kEucJp && !text.empty() && text.front() == '-') {
        return "<font color=red>" + text + "</font>";
    }
    return text;
}

std::string CharsetOf(PageKind kind, const QuotePageOptions& options) {
    if (options.lowerCaseShiftJis) return "shift_jis";
    return kind == PageKind::kShiftJis ? "Shift_JIS" : "EUC-JP";
}

}  // namespace

std::string SafeSymbol(std::string_view symbol) {
    std::string s;
    for (const char c : symbol) {
        const bool ok =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.';
        if (ok) s += c;
        if (s.size() >= 16) break;
    }
    return s;
}

std::string QuotePage(std::string_view symbol, const MarketClock& clock,
                      const QuotePageOptions& options) {
    const std::optional<Listing> listing = Market::Find(symbol);
    const std::string safe = SafeSymbol(symbol);
    const auto dot = safe.find('.');
    PageKind kind =
        listing ? listing->kind
                : Market::KindOfSuffix(dot == std::string::npos ? "" : safe.substr(dot + 1));
    if (options.lowerCaseShiftJis) kind = PageKind::kEucJp;
    const std::string code = listing ? listing->code : safe.substr(0, dot);

    std::string page;
    if (!listing) {
        page += Head("銘柄が見つかりません - " + std::string(kSiteName), CharsetOf(kind, options));
        page += NavigationBar("");
        page += "<p>指定されたコード「" + safe + "」の銘柄は見つかりませんでした。</p>\n";
        page += "<p>コードと市場をお確かめください。</p>\n";
        page += Footer();
        return Encode(page, kind);
    }

    const Quote q = Market::QuoteOf(*listing, clock);
    page += Head(q.name + " (" + safe + ") : 株価 - " + kSiteName, CharsetOf(kind, options));
    page += NavigationBar(code);
    page += "<table border=0 cellspacing=1 cellpadding=3 width=\"100%\">\n";
    page += "<tr bgcolor=\"#dcdcdc\">\n";
    page +=
        "<th nowrap>コード</th><th nowrap>市場</th><th nowrap>名称</th><th nowrap>時刻</th>"
        "<th nowrap>取引値</th><th nowrap>前日比</th><th nowrap>騰落率</th><th "
        "nowrap>出来高</th>\n";
    page += "</tr><tr align=right>\n";
    page += "<td nowrap align=left>" + safe + "</td>\n";
    page += "<td nowrap align=left>" + listing->marketName + "</td>\n";
    page += "<td nowrap align=left><small>" + q.name + "</small></td>\n";
    page += "<td nowrap align=center>" + q.time + "</td>\n";
    page += "<td nowrap><b>" + q.price + "</b></td>\n";
    page += "<td nowrap>" + Cell(q.change, kind) + "</td>\n";
    page += "<td nowrap>" + Cell(q.ratio, kind) + "</td>\n";
    page += "<td nowrap>" + q.volume + "</td>\n";
    page += "</tr>\n</table>\n";
    page += "<p><a href=\"/c/1d/8/" + safe + ".gif\"><img src=\"/c/1d/8/" + safe +
            ".gif\" width=160 height=80 border=0 alt=\"チャート\"></a></p>\n";
    page += Footer();
    return Encode(page, kind);
}

std::string SitePage(std::string_view title, std::string_view bodyHtmlUtf8) {
    std::string page = Head(std::string(title) + " - " + kSiteName, "Shift_JIS");
    page += NavigationBar("");
    page += "<h3>";
    page += title;
    page += "</h3>\n";
    page += bodyHtmlUtf8;
    page += Footer();
    return Encode(page, PageKind::kShiftJis);
}

}  // namespace tickora::quotehost
