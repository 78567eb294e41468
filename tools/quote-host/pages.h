#pragma once
// The HTML pages of the quote host, as the bytes that go on the wire.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "market.h"

namespace tickora::quotehost {

struct QuotePageOptions {
    // Declare the charset as "shift_jis" in lower case while carrying EUC-JP bytes.
    bool lowerCaseShiftJis = false;
};

// The quote page for a symbol ("8058.t", "998407"); a symbol that names nothing gets a
// page of the same look without the quote row.
std::string QuotePage(std::string_view symbol, const MarketClock& clock,
                      const QuotePageOptions& options = {});

// The same quote in the layout of today's portals: UTF-8, values inside class-named div and
// span elements after some 130 lines of head, navigation and side bar, in an order of its
// own markup (so the built-in patterns find nothing in it).
std::string ModernQuotePage(std::string_view symbol, const MarketClock& clock);

// Three more UTF-8 layouts of the same quote, each with a page of its own look for a symbol that
// names nothing:
//   TableQuotePage   figures beside th labels, trend classes, the board some 1,100 lines and
//                    60 KB into a page of about 100 KB, the volume alone on an indented line
//   ModuleQuotePage  minified on a few lines, hashed CSS-module class names, the board past
//                    300 KB, change and ratio in one element, the price split at its point
//   ScriptQuotePage  empty placeholders filled by a script from a JSON state object
std::string TableQuotePage(std::string_view symbol, const MarketClock& clock);
std::string ModuleQuotePage(std::string_view symbol, const MarketClock& clock);
std::string ScriptQuotePage(std::string_view symbol, const MarketClock& clock);

// The figures of a quote as a person reads them off one layout, in the order name, time, price,
// change, ratio, volume. plain: the name as the quote's header shows it, the time (or the date or
// "---" shown in its place) and the figures without units ("1,234.0", "+12", "+0.98",
// "12,300"). withUnits: the same as the page's text runs on into the unit beside each figure,
// any white space between them (a no-break space too) as one blank ("1,234.0円", "+12円",
// "+0.98%", "12,300株", "12,300 株"); a figure without a unit is the same in both. A stock
// without trades today shows "---" for its four figures. registered: the company's registered
// name where the page shows it beside the header's ("東西精機株式会社"). Everything is empty for
// a symbol that names nothing.
struct ShownQuote {
    std::array<std::string, 6> plain;
    std::array<std::string, 6> withUnits;
    std::string registered;
};

using QuotePageFn = std::string (*)(std::string_view symbol, const MarketClock& clock);
using ShownQuoteFn = ShownQuote (*)(std::string_view symbol, const MarketClock& clock);

// One layout: the host's path of it ("/v4/hibari/q", asked with ?s=SYMBOL), the site it belongs
// to (layouts of one site, before and after a redesign, share it), its page and what a person
// reads on that page.
struct PageLayout {
    std::string_view path;
    std::string_view site;
    QuotePageFn page;
    ShownQuoteFn shown;
};

// The /v4 layouts, pages of two invented sites that carry what misleads a reader of real quote
// pages: index figures in the quote's own class before it, a time beside an index link in the
// header, the company's registered name beside the header's short one, a price split by a tag
// across lines, change and ratio in sibling elements after one label, labels holding the day's
// date, units in elements of their own, and lists of other stocks' figures. A stock code ending
// in 00 (e.g. 8300.t) has had no trades today on these sites: "---" for its four figures.
//   HibariQuotePage   ひばり株価 as it was: nested tables, index ticker cells of class "num"
//                     as the quote's, the registered name first, the date in the price label
//   Hibari2QuotePage  ひばり株価 redesigned: the same figures in divs, dl and spans, the price
//                     always with decimals split at its point, the date in place of the time
//                     without trades or after 15:00, the registered name after the quote
//   MisakiQuotePage   みさき株ナビ: a labelled board table after a strip of picked stocks with
//                     full-width digits, the registered name in the breadcrumbs, 円 after
//                     the change and a no-break space before 株
std::string HibariQuotePage(std::string_view symbol, const MarketClock& clock);
std::string Hibari2QuotePage(std::string_view symbol, const MarketClock& clock);
std::string MisakiQuotePage(std::string_view symbol, const MarketClock& clock);
ShownQuote HibariShown(std::string_view symbol, const MarketClock& clock);
ShownQuote Hibari2Shown(std::string_view symbol, const MarketClock& clock);
ShownQuote MisakiShown(std::string_view symbol, const MarketClock& clock);
std::span<const PageLayout> V4Layouts();

// What a person reads on the /v2 layout and on the /v3 table layout.
ShownQuote ModernShown(std::string_view symbol, const MarketClock& clock);
ShownQuote TableShown(std::string_view symbol, const MarketClock& clock);

// A plain Shift_JIS page of the demo site: title and paragraphs in UTF-8.
std::string SitePage(std::string_view title, std::string_view bodyHtmlUtf8);

// The symbol cut to what may safely be echoed into a page (letters, digits, '.').
std::string SafeSymbol(std::string_view symbol);

}  // namespace tickora::quotehost
