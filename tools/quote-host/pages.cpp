#include "pages.h"

#include <cctype>
#include <optional>
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

namespace tickora::quotehost {

namespace {

// Head, site header and side bar of the modern layout: markup a real portal puts before the
// quote, with the stock's name and price in places that are not the quote board.
std::string ModernHead(const std::string& title, const std::string& description,
                       const std::string& jsonLd) {
    std::string h =
        "<!DOCTYPE html>\n"
        "<html lang=\"ja\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"format-detection\" content=\"telephone=no\">\n";
    h += "<title>" + title + "</title>\n";
    h += "<meta name=\"description\" content=\"" + description + "\">\n";
    h += "<meta property=\"og:title\" content=\"" + title + "\">\n";
    h += "<meta property=\"og:type\" content=\"website\">\n";
    h += "<link rel=\"icon\" href=\"/favicon.ico\">\n";
    h += "<link rel=\"stylesheet\" href=\"/static/v2/site.css\">\n";
    h += "<script type=\"application/ld+json\">" + jsonLd + "</script>\n";
    h += "<script>\n"
         "  // The old pages were served as Shift_JIS; links into them keep working.\n"
         "  window.tickora = window.tickora || {};\n"
         "  window.tickora.legacyCharset = \"Shift_JIS\";\n"
         "  window.tickora.refresh = 60;\n"
         "</script>\n"
         "<style>\n";
    static const char* const kRules[] = {
        ":root { --up: #c8102e; --down: #1d4ed8; --flat: #4b5563; }",
        "* { box-sizing: border-box; }",
        "body { margin: 0; font-family: system-ui, sans-serif; color: #111827; }",
        ".site-header { display: flex; align-items: center; padding: 8px 16px; }",
        ".site-header a { color: inherit; text-decoration: none; }",
        ".site-logo { font-weight: 700; font-size: 20px; }",
        ".site-search { margin-left: auto; }",
        ".site-search input { width: 16em; padding: 4px 8px; }",
        ".global-nav { display: flex; gap: 16px; padding: 0 16px; }",
        ".global-nav a { padding: 8px 0; }",
        ".breadcrumb { font-size: 12px; padding: 8px 16px; }",
        ".layout { display: grid; grid-template-columns: 1fr 280px; gap: 24px; }",
        ".quote-board { padding: 16px; border: 1px solid #e5e7eb; }",
        ".quote-board-head { display: flex; align-items: baseline; gap: 8px; }",
        ".quote-name { font-size: 24px; margin: 0; }",
        ".quote-symbol, .quote-market { color: #6b7280; }",
        ".quote-price { font-size: 32px; font-weight: 700; }",
        ".price-unit { font-size: 16px; margin-left: 4px; }",
        ".quote-change-up { color: var(--up); }",
        ".quote-change-down { color: var(--down); }",
        ".quote-change-flat { color: var(--flat); }",
        ".quote-stats { display: grid; grid-template-columns: repeat(2, 1fr); }",
        ".quote-stats dt { color: #6b7280; }",
        ".side-bar section { margin-bottom: 24px; }",
        ".ranking li { display: flex; justify-content: space-between; }",
        ".site-footer { font-size: 12px; padding: 16px; color: #6b7280; }",
        ".market-strip { display: flex; gap: 24px; padding: 4px 16px; font-size: 13px; }",
        ".market-strip .strip-name { color: #6b7280; margin-right: 4px; }",
        ".news-list { list-style: none; padding: 0; }",
        ".news-list li { padding: 4px 0; border-bottom: 1px solid #f3f4f6; }",
        ".news-list time { color: #6b7280; margin-right: 8px; }",
        ".notices { padding-left: 1em; }",
        ".stat dd { margin: 0; font-weight: 600; }",
        ".unit { font-size: 12px; margin-left: 2px; }",
        ".quote-updated { color: #6b7280; font-size: 13px; }",
        ".change-label { color: #6b7280; margin-right: 8px; }",
        "@media (max-width: 720px) { .layout { grid-template-columns: 1fr; } }",
        "@media (prefers-color-scheme: dark) { body { background: #111827; color: #f9fafb; } }",
    };
    for (const char* rule : kRules) h += std::string("  ") + rule + "\n";
    h += "</style>\n</head>\n";
    return h;
}

std::string ModernSiteHeader() {
    std::string h =
        "<body>\n"
        "<header class=\"site-header\">\n"
        "  <a class=\"site-logo\" href=\"/\">";
    h += kSiteName;
    h += "</a>\n"
         "  <form class=\"site-search\" action=\"/v2/q\" method=\"get\">\n"
         "    <input type=\"search\" name=\"s\" placeholder=\"コード・銘柄名\">\n"
         "    <button type=\"submit\">検索</button>\n"
         "  </form>\n"
         "</header>\n"
         "<nav class=\"global-nav\">\n";
    for (const char* item : {"マーケット", "ランキング", "ニュース", "ポートフォリオ", "掲示板"})
        h += std::string("  <a href=\"/\">") + item + "</a>\n";
    h += "</nav>\n";
    return h;
}

// The three indices along the top of every page.
std::string ModernMarketStrip(const MarketClock& clock) {
    std::string s = "<div class=\"market-strip\">\n";
    for (const char* code : {"998407", "998405", "23337"}) {
        const Quote q = Market::QuoteOf(*Market::Find(code), clock);
        s += "  <a class=\"strip-item\" href=\"/v2/q?s=" + std::string(code) + "\">";
        s += "<span class=\"strip-name\">" + q.name + "</span>";
        s += "<span class=\"strip-price\">" + q.price + "</span> ";
        s += "<span class=\"strip-change\">" + q.change + "</span></a>\n";
    }
    s += "</div>\n";
    return s;
}

std::string ModernSideBar(const MarketClock& clock) {
    std::string s =
        "<aside class=\"side-bar\">\n"
        "  <section>\n"
        "    <h2>値上がり率ランキング</h2>\n"
        "    <ol class=\"ranking\">\n";
    for (const char* code : {"1302", "2404", "3506", "4608", "5710", "6812", "7914", "9016"}) {
        const auto listing = Market::Find(std::string(code) + ".t");
        const Quote q = Market::QuoteOf(*listing, clock);
        s += "      <li><a href=\"/v2/q?s=" + std::string(code) + ".t\">" + q.name + "</a>";
        s += "<span class=\"rank-price\">" + q.price + "</span>";
        s += "<span class=\"rank-ratio\">" + q.ratio + "</span></li>\n";
    }
    s += "    </ol>\n"
         "  </section>\n"
         "  <section>\n"
         "    <h2>お知らせ</h2>\n"
         "    <ul class=\"notices\">\n"
         "      <li>このサイトの銘柄と相場はすべて架空のものです。</li>\n"
         "      <li>株価は1分ごとに更新されます。</li>\n"
         "    </ul>\n"
         "  </section>\n"
         "  <section>\n"
         "    <h2>ニュース</h2>\n"
         "    <ul class=\"news-list\">\n";
    static const char* const kNews[] = {
        "東証、午前の取引は小幅に続伸",     "為替は円安方向、輸出関連株に買い",
        "決算発表が本格化、電子部品に注目", "新興市場は利益確定の売りが優勢",
        "海運株が堅調、運賃の上昇を受け",   "週末を前に持ち高調整の動き",
    };
    for (const char* item : kNews)
        s += std::string("      <li><time>09:30</time><a href=\"/\">") + item + "</a></li>\n";
    s += "    </ul>\n"
         "  </section>\n"
         "</aside>\n";
    return s;
}

std::string ModernFooter() {
    return "<footer class=\"site-footer\">\n"
           "  <p>このページの銘柄と相場はすべて架空のものです。</p>\n"
           "  <p><small>tickora quote host</small></p>\n"
           "</footer>\n"
           "</body>\n"
           "</html>\n";
}

}  // namespace

std::string ModernQuotePage(std::string_view symbol, const MarketClock& clock) {
    const std::optional<Listing> listing = Market::Find(symbol);
    const std::string safe = SafeSymbol(symbol);
    if (!listing) {
        const std::string title = "銘柄が見つかりません | " + std::string(kSiteName);
        return ModernHead(title, title, "{}") + ModernSiteHeader() + ModernMarketStrip(clock) +
               "<main class=\"page-main\">\n<p class=\"not-found\">指定されたコード「" + safe +
               "」の銘柄は見つかりませんでした。</p>\n</main>\n" + ModernFooter();
    }
    const Quote q = Market::QuoteOf(*listing, clock);
    const char* trend = q.sign > 0 ? "up" : q.sign < 0 ? "down" : "flat";
    std::string upper = safe;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    std::string page = ModernHead(
        q.name + " (" + upper + ") 株価 | " + kSiteName,
        q.name + "(" + listing->code + ")の株価は" + q.price + "、前日比" + q.change + "。",
        "{\"@type\":\"Corporation\",\"name\":\"" + q.name + "\",\"tickerSymbol\":\"" +
            listing->code + "\",\"price\":\"" + q.price + "\"}");
    page += ModernSiteHeader();
    page += ModernMarketStrip(clock);
    page += "<nav class=\"breadcrumb\"><a href=\"/\">トップ</a> &gt; <a href=\"/\">" +
            listing->marketName + "</a> &gt; " + q.name + "</nav>\n";
    page += "<div class=\"layout\">\n";
    page += ModernSideBar(clock);
    page += "<main class=\"page-main\">\n";
    page += "<section class=\"quote-board\" data-symbol=\"" + upper + "\">\n";
    page += "  <div class=\"quote-board-head\">\n";
    page += "    <h1 class=\"quote-name\">" + q.name + "</h1>\n";
    page += "    <span class=\"quote-symbol\">" + upper + "</span>\n";
    page += "    <span class=\"quote-market\">" + listing->marketName + "</span>\n";
    page += "  </div>\n";
    page +=
        "  <p class=\"quote-updated\">更新 <time class=\"quote-time\">" + q.time + "</time></p>\n";
    page += "  <div class=\"quote-price\"><span class=\"price-value\">" + q.price +
            "</span><span class=\"price-unit\">" + (listing->index ? "" : "円") + "</span></div>\n";
    page += "  <div class=\"quote-change quote-change-" + std::string(trend) + "\">\n";
    page += "    <span class=\"change-label\">前日比</span>\n";
    page += "    <span class=\"change-value\">" + q.change + "</span>\n";
    page += "    <span class=\"change-ratio\">(" + q.ratio + ")</span>\n";
    page += "  </div>\n";
    page += "  <dl class=\"quote-stats\">\n";
    page += "    <div class=\"stat\"><dt>出来高</dt><dd class=\"stat-volume\">" + q.volume +
            "<span class=\"unit\">" + (listing->index ? "" : "株") + "</span></dd></div>\n";
    page += "    <div class=\"stat\"><dt>売買単位</dt><dd>" +
            std::string(listing->index ? "-" : "100") + "</dd></div>\n";
    page += "  </dl>\n";
    page += "</section>\n</main>\n</div>\n";
    page += ModernFooter();
    return page;
}

}  // namespace tickora::quotehost
