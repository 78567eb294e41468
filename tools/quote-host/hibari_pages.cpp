// ひばり株価, an invented portal, before and after its redesign: the same figures, first in the
// nested tables of its old pages, then in the divs and definition lists of its new ones.

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "site_quote.h"

namespace tickora::quotehost {

namespace {

constexpr const char* kSite = "ひばり株価";
constexpr const char* kIndexCodes[] = {"998407", "998405", "23337"};

std::string Link(std::string_view path, std::string_view symbol, std::string_view text) {
    return "<a href=\"" + std::string(path) + "?s=" + std::string(symbol) + "\">" +
           std::string(text) + "</a>";
}

// ------------------------------------------------------------------------------------------
// The old pages: one frame table, the index ticker on top, rankings on the left.

constexpr const char* kOldPath = "/v4/hibari/q";

// The old pages colour a change with <font>.
std::string Coloured(const std::string& text, int sign) {
    if (sign == 0) return text;
    return std::string("<font color=\"") + (sign > 0 ? "#cc0000" : "#0000cc") + "\">" + text +
           "</font>";
}

std::string OldHead(const std::string& title) {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
           "<html lang=\"ja\">\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
           "<title>" +
           title +
           "</title>\n"
           "<link rel=\"stylesheet\" type=\"text/css\" href=\"/static/hibari/style.css\">\n"
           "<script type=\"text/javascript\" src=\"/static/hibari/common.js\"></script>\n"
           "</head>\n<body>\n"
           "<table class=\"frame\" width=\"960\" cellspacing=\"0\" cellpadding=\"0\">\n"
           "<tr><td colspan=\"2\" class=\"logo\"><a href=\"/\"><img src=\"/static/hibari/logo.gif\""
           " alt=\"" +
           kSite + "\" width=\"180\" height=\"40\" border=\"0\"></a></td></tr>\n";
}

// The indices' cells share the quote's class "num"; each time stands beside its index link.
std::string OldTicker(const MarketClock& clock) {
    std::string t =
        "<tr><td colspan=\"2\">\n"
        "<table class=\"ticker\" cellspacing=\"0\" cellpadding=\"2\">\n<tr>\n";
    for (const char* code : kIndexCodes) {
        const Quote q = Market::QuoteOf(*Market::Find(code), clock);
        t += "<td class=\"idx\">" + Link(kOldPath, code, q.name) + "</td>\n";
        t += "<td class=\"num\">" + q.price + "</td>\n";
        t += "<td class=\"num\">" + Coloured(q.change, q.sign) + "</td>\n";
        t += "<td class=\"time\">" + q.time + "</td>\n";
    }
    return t + "</tr>\n</table>\n</td></tr>\n";
}

std::string OldRanking(const char* title, const std::vector<SiteQuote>& rows, bool volume) {
    std::string r = "<table class=\"rank\" width=\"100%\" cellspacing=\"0\">\n";
    r += std::string("<tr><th colspan=\"3\">") + title + "</th></tr>\n";
    for (const SiteQuote& o : rows) {
        r += "<tr><td class=\"rank-name\">" + Link(kOldPath, o.listing.code + ".t", o.q.name) +
             "</td>";
        if (volume) {
            r += "<td class=\"num\" colspan=\"2\">" + o.q.volume + "株</td></tr>\n";
        } else {
            r += "<td class=\"num\">" + o.q.price + "</td><td class=\"num\">" +
                 Coloured(o.q.ratio, o.q.sign) + "</td></tr>\n";
        }
    }
    return r + "</table>\n";
}

// Rankings of a length that changes by the minute, then the start of the main column.
std::string OldSide(std::string_view own, const MarketClock& clock) {
    const auto figure = [](const std::string& text) {
        std::string digits;
        for (const char c : text) {
            if (c != ',') digits += c;
        }
        return std::strtod(digits.c_str(), nullptr);
    };
    std::vector<SiteQuote> risers, busiest;
    for (SiteQuote& o : OtherQuotes(ListLength(1, clock, 3, 8), 11, own, clock)) {
        if (o.traded) risers.push_back(std::move(o));
    }
    std::ranges::sort(risers, std::greater{},
                      [&](const SiteQuote& o) { return figure(o.q.ratio); });
    for (SiteQuote& o : OtherQuotes(ListLength(2, clock, 2, 6), 12, own, clock)) {
        if (o.traded) busiest.push_back(std::move(o));
    }
    std::ranges::sort(busiest, std::greater{},
                      [&](const SiteQuote& o) { return figure(o.q.volume); });
    return "<tr>\n<td class=\"side\" width=\"220\" valign=\"top\">\n" +
           OldRanking("値上がり率ランキング", risers, false) +
           OldRanking("出来高ランキング", busiest, true) +
           "</td>\n<td class=\"main\" valign=\"top\">\n";
}

std::string OldFooter() {
    return "</td>\n</tr>\n"
           "<tr><td colspan=\"2\" class=\"footer\"><center><font size=\"-1\">"
           "このページの銘柄と相場はすべて架空のものです。<br>Copyright (C) ひばり株価"
           "</font></center></td></tr>\n"
           "</table>\n</body>\n</html>\n";
}

// The register's name first, then the quote under its short name.
std::string OldBoard(const SiteQuote& s) {
    const Quote& q = s.q;
    const bool stock = !s.listing.index;
    std::string b =
        "<table class=\"profile\" width=\"100%\">\n"
        "<tr><th>正式名称</th><td>" +
        s.fullName + "</td></tr>\n<tr><th>コード</th><td>" + s.listing.code +
        "</td></tr>\n<tr><th>市場</th><td>" + s.listing.marketName + "</td></tr>\n</table>\n";
    b += "<table class=\"quote\" width=\"100%\" cellspacing=\"1\">\n";
    b += "<tr><th class=\"name\" colspan=\"3\"><b>" + q.name + "</b>&nbsp;<small>" +
         s.listing.code + "</small></th></tr>\n";
    b += "<tr><th>株価(" + s.date + ")</th><td class=\"num\" colspan=\"2\"><b>" + q.price + "</b>" +
         (stock && s.traded ? "円" : "") + "</td></tr>\n";
    b += "<tr><th>前日比</th><td class=\"num\">" + Coloured(q.change, q.sign) +
         "</td><td class=\"num\">" + Coloured(s.traded ? "(" + q.ratio + ")" : q.ratio, q.sign) +
         "</td></tr>\n";
    b += "<tr><th>出来高</th><td class=\"num\" colspan=\"2\">" + q.volume +
         (stock && s.traded ? "<span class=\"unit\">株</span>" : "") + "</td></tr>\n";
    b += "<tr><th>取引時刻</th><td class=\"num\" colspan=\"2\">" + (s.traded ? q.time : kNoTrade) +
         "</td></tr>\n";
    b += "<tr><th>前日終値</th><td class=\"num\" colspan=\"2\">" + s.close + "</td></tr>\n";
    return b + "</table>\n<p class=\"note\">※株価は20分以上遅れて表示されます。</p>\n";
}

// ------------------------------------------------------------------------------------------
// The new pages: a header strip of indices, news, the stock in divs and a definition list.

constexpr const char* kNewPath = "/v4/hibari2/q";

std::string NewHead(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           title +
           "</title>\n"
           "<link rel=\"stylesheet\" href=\"/static/hibari/2024/app.css\">\n"
           "</head>\n<body class=\"page-stock\">\n";
}

// A figure split at its point, the decimals in a tag on the next line.
std::string SplitAtPoint(const std::string& price) {
    const auto dot = price.find('.');
    if (dot == std::string::npos) return price;
    return price.substr(0, dot + 1) + "<span\n          class=\"decimal\">" +
           price.substr(dot + 1) + "</span>";
}

std::string NewHeader(const MarketClock& clock) {
    std::string h =
        "<header class=\"hb-header\">\n"
        "  <a class=\"hb-logo\" href=\"/\">" +
        std::string(kSite) + "</a>\n  <ul class=\"hb-indices\">\n";
    for (const char* code : kIndexCodes) {
        const Quote q = Market::QuoteOf(*Market::Find(code), clock);
        h += "    <li class=\"hb-index\">\n      " + Link(kNewPath, code, q.name) + "\n";
        h += "      <time class=\"hb-index-time\">" + q.time + "</time>\n";
        h += "      <span class=\"num\">" + q.price + "</span>\n";
        h += std::string("      <span class=\"num ") + TrendClass(q.sign) + "\">" + q.change +
             "</span>\n    </li>\n";
    }
    return h + "  </ul>\n</header>\n";
}

std::string NewNews(const MarketClock& clock) {
    std::string n = "<section class=\"hb-news\">\n  <h2>マーケットニュース</h2>\n  <ul>\n";
    for (int i = 0, count = ListLength(3, clock, 2, 7); i < count; ++i) {
        n += "    <li><time>" + NewsTime(i, clock) + "</time><a href=\"/news/" +
             std::to_string(5100 + i) + "\">" + NewsHeadline(i, "hibari") + "</a></li>\n";
    }
    return n + "  </ul>\n</section>\n";
}

// Change and ratio as two spans after one label, both of the figures' class.
std::string NewChange(const SiteQuote& s) {
    const std::string cls = std::string("num ") + TrendClass(s.q.sign);
    return "<span class=\"" + cls + "\">" + s.q.change + "</span><span class=\"" + cls + "\">(" +
           s.ratioBare + (s.traded ? "<span class=\"unit\">%</span>" : "") + ")</span>";
}

std::string NewBoard(const SiteQuote& s, const MarketClock& clock) {
    const Quote& q = s.q;
    const bool unit = !s.listing.index && s.traded;
    std::string b = "  <section class=\"stock\" data-code=\"" + s.listing.code + "\">\n";
    b += "    <div class=\"stock-head\">\n      <h1 class=\"stock-name\">" + q.name +
         "</h1>\n      <span class=\"stock-code\">" + s.listing.code +
         "</span>\n      <span class=\"stock-market\">" + s.listing.marketName +
         "</span>\n    </div>\n";
    b += "    <div class=\"stock-board\">\n      <h2 class=\"stock-label\">株価（" + s.date +
         "）</h2>\n";
    b += std::string("      <div class=\"stock-price ") + TrendClass(q.sign) +
         "\"><span class=\"num\">" + SplitAtPoint(WithDecimal(q.price)) + "</span>" +
         (unit ? "<span class=\"unit\">円</span>" : "") + "</div>\n";
    b += "      <dl class=\"stock-figures\">\n";
    b += "        <div class=\"row\"><dt>前日比</dt><dd>" + NewChange(s) + "</dd></div>\n";
    b += "        <div class=\"row\"><dt>出来高</dt><dd><span class=\"num\">" + q.volume +
         "</span>" + (unit ? "<span class=\"unit\">株</span>" : "") + "</dd></div>\n";
    b += "        <div class=\"row\"><dt>時刻</dt><dd><time class=\"num\">" +
         ShownTime(s, clock, true) + "</time></dd></div>\n";
    b += "        <div class=\"row\"><dt>前日終値</dt><dd><span class=\"num\">" +
         WithDecimal(s.close) + "</span></dd></div>\n";
    return b + "      </dl>\n    </div>\n  </section>\n";
}

// Other stocks in the quote's own classes, after it.
std::string NewRelated(std::string_view own, const MarketClock& clock) {
    std::string r =
        "  <section class=\"related\">\n    <h2>関連銘柄</h2>\n"
        "    <table class=\"related-table\">\n"
        "      <tr><th>銘柄</th><th>株価</th><th>前日比</th></tr>\n";
    for (const SiteQuote& o : OtherQuotes(ListLength(4, clock, 3, 6), 13, own, clock)) {
        r += "      <tr><td>" + Link(kNewPath, o.listing.code + ".t", o.q.name) +
             "</td><td><span class=\"num\">" + WithDecimal(o.q.price) + "</span></td><td>" +
             NewChange(o) + "</td></tr>\n";
    }
    return r + "    </table>\n  </section>\n";
}

// The register's name after the quote.
std::string NewCompany(const SiteQuote& s) {
    return "  <section class=\"company\">\n    <h2>会社情報</h2>\n"
           "    <dl class=\"company-info\">\n      <dt>会社名</dt><dd>" +
           s.fullName + "</dd>\n      <dt>市場</dt><dd>" + s.listing.marketName +
           "</dd>\n      <dt>売買単位</dt><dd>" + (s.listing.index ? "-" : "100株") +
           "</dd>\n    </dl>\n  </section>\n";
}

std::string NewFooter() {
    return "<footer class=\"hb-footer\">\n"
           "  <p>このページの銘柄と相場はすべて架空のものです。</p>\n"
           "  <p><small>&copy; ひばり株価</small></p>\n"
           "</footer>\n</body>\n</html>\n";
}

}  // namespace

std::string HibariQuotePage(std::string_view symbol, const MarketClock& clock) {
    const std::optional<SiteQuote> s = SiteQuoteOf(symbol, clock);
    if (!s) {
        return OldHead(std::string("銘柄が見つかりません - ") + kSite) + OldTicker(clock) +
               OldSide("", clock) + "<p class=\"error\">" + NotFoundSentence(symbol) + "</p>\n" +
               OldFooter();
    }
    return OldHead(s->q.name + "【" + s->listing.code + "】株価 - " + kSite) + OldTicker(clock) +
           OldSide(s->listing.code, clock) + OldBoard(*s) + OldFooter();
}

std::string Hibari2QuotePage(std::string_view symbol, const MarketClock& clock) {
    const std::optional<SiteQuote> s = SiteQuoteOf(symbol, clock);
    if (!s) {
        return NewHead(std::string("銘柄が見つかりません | ") + kSite) + NewHeader(clock) +
               "<main class=\"hb-main\">\n  <p class=\"hb-error\">" + NotFoundSentence(symbol) +
               "</p>\n</main>\n" + NewFooter();
    }
    return NewHead(s->q.name + " (" + s->listing.code + ") 株価・株式情報 | " + kSite) +
           NewHeader(clock) + NewNews(clock) + "<main class=\"hb-main\">\n" + NewBoard(*s, clock) +
           NewRelated(s->listing.code, clock) + NewCompany(*s) + "</main>\n" + NewFooter();
}

}  // namespace tickora::quotehost
