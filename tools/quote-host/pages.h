#pragma once
// The HTML pages of the quote host, as the bytes that go on the wire.

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

// A plain Shift_JIS page of the demo site: title and paragraphs in UTF-8.
std::string SitePage(std::string_view title, std::string_view bodyHtmlUtf8);

// The symbol cut to what may safely be echoed into a page (letters, digits, '.').
std::string SafeSymbol(std::string_view symbol);

}  // namespace tickora::quotehost
