// みさき株ナビ, an invented portal: a labelled board table in class-named divs, after a header
// of indices and a strip of picked stocks written in full-width digits.

#include <vector>

#include "site_quote.h"

namespace tickora::quotehost {

namespace {

constexpr const char* kSite = "みさき株ナビ";
constexpr const char* kPath = "/v4/misaki/q";

std::string Link(std::string_view symbol, std::string_view text) {
    return "<a href=\"" + std::string(kPath) + "?s=" + std::string(symbol) + "\">" +
           std::string(text) + "</a>";
}

// A cell of the figures' class "val", with the trend's class and one of its own.
std::string Val(const std::string& text, int sign, std::string_view own = "", bool wide = false) {
    return std::string("<td class=\"val") +
           (sign > 0   ? " up"
            : sign < 0 ? " down"
                       : "") +
           (own.empty() ? "" : " ") + std::string(own) + "\"" + (wide ? " colspan=\"2\">" : ">") +
           text + "</td>";
}

std::string Unit(const char* unit) {
    return std::string("<span class=\"unit\">") + unit + "</span>";
}

std::string Head(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n<title>" +
           title +
           "</title>\n"
           "<meta name=\"viewport\" content=\"width=device-width\">\n"
           "<link rel=\"stylesheet\" href=\"/css/misaki.css?v=31\">\n"
           "<script async src=\"/js/ad.js\"></script>\n"
           "</head>\n<body>\n<div id=\"wrap\">\n";
}

// Index figures in the board's own class "val", each time beside its index link.
std::string SiteHead(const MarketClock& clock) {
    std::string h =
        "<div class=\"site-head\">\n"
        "  <p class=\"site-name\"><a href=\"/\">" +
        std::string(kSite) +
        "</a></p>\n"
        "  <table class=\"head-index\">\n";
    for (const char* code : {"998407", "998405", "23337"}) {
        const Quote q = Market::QuoteOf(*Market::Find(code), clock);
        h += "    <tr><th>" + Link(code, q.name) + "</th>" + Val(q.price, 0) +
             Val(q.change, q.sign) + "<td class=\"stamp\">" + q.time + "</td></tr>\n";
    }
    return h + "  </table>\n</div>\n";
}

// The register's name, before the board's short one.
std::string Crumbs(const SiteQuote& s) {
    return "<ol class=\"crumbs\">\n  <li><a href=\"/\">トップ</a></li>\n  <li><a href=\"/\">" +
           s.listing.marketName + "</a></li>\n  <li>" + s.fullName + "（" + s.listing.code +
           "）</li>\n</ol>\n";
}

// Picked stocks of a length that changes by the minute; figures in full-width digits, a
// no-break space before the ratio.
std::string Pickup(std::string_view own, const MarketClock& clock) {
    std::string p =
        "<div class=\"pickup\">\n  <h2>注目の銘柄</h2>\n"
        "  <table class=\"pickup-table\">\n";
    for (const SiteQuote& o : OtherQuotes(ListLength(5, clock, 2, 7), 21, own, clock)) {
        p += "    <tr><td class=\"pick-name\">" + Link(o.listing.code + ".t", o.q.name) + "</td>" +
             Val(FullWidth(o.q.price), 0) + Val(FullWidth(o.q.change), o.q.sign) +
             Val("&nbsp;" + FullWidth(o.q.ratio), o.q.sign) + "</tr>\n";
    }
    return p + "  </table>\n</div>\n";
}

std::string Board(const SiteQuote& s) {
    const Quote& q = s.q;
    const bool unit = !s.listing.index && s.traded;
    std::string b = "<div class=\"board\">\n  <div class=\"board-title\"><h1>" + q.name +
                    "</h1><span class=\"board-code\">" + s.listing.code + " " +
                    s.listing.marketName + "</span></div>\n  <table class=\"board-table\">\n";
    b += "    <tr><th>現在値（" + s.date + "）</th>" +
         Val(q.price + (unit ? Unit("円") : ""), 0, "price", true) + "</tr>\n";
    b += "    <tr><th>前日比</th>" + Val(q.change + (unit ? Unit("円") : ""), q.sign) +
         Val(s.ratioBare + (s.traded ? Unit("%") : ""), q.sign) + "</tr>\n";
    b += "    <tr><th>出来高</th>" +
         Val(q.volume + (unit ? "&nbsp;" + Unit("株") : ""), 0, "", true) + "</tr>\n";
    b += "    <tr><th>前日終値</th>" +
         Val(s.close + (s.listing.index ? "" : Unit("円")), 0, "", true) + "</tr>\n";
    b += "    <tr><th>時刻</th>" + Val(s.traded ? q.time : kNoTrade, 0, "stamp", true) + "</tr>\n";
    return b + "  </table>\n</div>\n";
}

std::string News(const MarketClock& clock) {
    std::string n = "<div class=\"news\">\n  <h2>関連ニュース</h2>\n  <ul>\n";
    for (int i = 0, count = ListLength(6, clock, 1, 6); i < count; ++i) {
        n += "    <li><span class=\"stamp\">" + NewsTime(i, clock) + "</span> <a href=\"/n/" +
             std::to_string(880 + i) + "\">" + NewsHeadline(i, "misaki") + "</a></li>\n";
    }
    return n + "  </ul>\n</div>\n";
}

std::string Foot() {
    return "<div class=\"foot\">\n  <p>このページの銘柄と相場はすべて架空のものです。</p>\n"
           "</div>\n</div>\n</body>\n</html>\n";
}

}  // namespace

std::string MisakiQuotePage(std::string_view symbol, const MarketClock& clock) {
    const std::optional<SiteQuote> s = SiteQuoteOf(symbol, clock);
    if (!s) {
        return Head(std::string("銘柄が見つかりません - ") + kSite) + SiteHead(clock) +
               "<p class=\"error\">" + NotFoundSentence(symbol) + "</p>\n" + Foot();
    }
    return Head(s->q.name + "【" + s->listing.code + "】：株価・チャート - " + kSite) +
           SiteHead(clock) + Crumbs(*s) + Pickup(s->listing.code, clock) + Board(*s) + News(clock) +
           Foot();
}

}  // namespace tickora::quotehost
