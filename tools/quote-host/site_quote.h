#pragma once
// What the /v4 sites share: a quote as they show it, with the stocks that had no trades today
// and the company's registered name, the other stocks of their lists, and small text helpers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "market.h"
#include "pages.h"

namespace tickora::quotehost {

inline constexpr const char* kNoTrade = "---";

// The market closes at 15:00.
inline constexpr int kCloseMinute = 15 * 60;

struct SiteQuote {
    Listing listing;
    Quote q;                // price, change, ratio and volume are kNoTrade without trades
    bool traded = true;     // false: no trade yet today
    std::string fullName;   // as the company register writes it: "東西精機株式会社"
    std::string date;       // the clock's day: "04/10"
    std::string ratioBare;  // the ratio without its "%": "+0.98"
    std::string close;      // the previous close, written as the price is
};

// noTradeCodes false: every code trades, as on the layouts older than the /v4 sites.
std::optional<SiteQuote> SiteQuoteOf(std::string_view symbol, const MarketClock& clock,
                                     bool noTradeCodes = true);

// count other Tokyo stocks for a page's lists, never own; salt picks which.
std::vector<SiteQuote> OtherQuotes(int count, std::uint64_t salt, std::string_view own,
                                   const MarketClock& clock);
// The length of a list that changes from minute to minute: lo..hi entries.
int ListLength(std::uint64_t salt, const MarketClock& clock, int lo, int hi);

// "1,234" -> "1,234.0"; a price with decimals as it is.
std::string WithDecimal(const std::string& price);
// ASCII digits, signs, commas, points and % as their full-width forms.
std::string FullWidth(std::string_view text);
const char* TrendClass(int sign);

// How a layout writes the figures beside their units, for ShownOf.
struct UnitStyle {
    const char* yen = "円";      // after the price (a stock's)
    const char* changeYen = "";  // after the change (a stock's)
    const char* shares = "株";   // after the volume (a stock's), a gap included
    bool decimals = false;       // prices always with decimals
    bool dateWhenIdle = false;   // the date in place of the time without trades or after close
    bool noTradeCodes = true;    // codes ending in 00 have no trades
};

// The time or date a layout shows for the quote.
std::string ShownTime(const SiteQuote& s, const MarketClock& clock, bool dateWhenIdle);
ShownQuote ShownOf(std::string_view symbol, const MarketClock& clock, const UnitStyle& style);

// News item i of a page's list, the newest first: its "HH:MM", minutes before the clock's, and
// a headline with full-width figures in it, as news writes them.
std::string NewsTime(int i, const MarketClock& clock);
std::string NewsHeadline(int i, std::string_view salt);

// The not-found sentence every layout shows for a symbol that names nothing.
std::string NotFoundSentence(std::string_view symbol);

}  // namespace tickora::quotehost
