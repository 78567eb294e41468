#pragma once
// The simulated market behind the quote host: every 4-digit code is a fictional company
// and three index codes are indices. Prices follow a deterministic random walk that takes
// one step per minute of the market clock, so equal requests within a minute agree and runs
// repeat; a fixed clock makes every run the same.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tickora::quotehost {

// How a market's pages are encoded.
enum class PageKind { kShiftJis, kEucJp };

struct Listing {
    std::string code;        // "8058" or "998407"
    std::string suffix;      // market suffix ("t" ... "s"); empty for an index
    std::string marketName;  // UTF-8 display name of the market
    bool index = false;
    PageKind kind = PageKind::kShiftJis;
};

// One quote as the page shows it; texts are UTF-8 (ASCII apart from the name).
struct Quote {
    std::string name;
    std::string time;    // "HH:MM"
    std::string price;   // "1,234" or "16,500.12"
    std::string change;  // "+12", "-8", "0", "+123.45"
    std::string ratio;   // "+0.98%", "-0.40%", "0.00%"
    std::string volume;  // "123,000"
    int sign = 0;        // -1, 0, +1: the sign of the change
};

// The moment a quote is computed for: day number and minute of that day. The wall clock's day
// is year * 1000 + day of the year (0-based), and any other day number is read the same way.
struct MarketClock {
    long day = 0;
    int minute = 0;  // 0..1439
    // The host's request number when prices move with every request; -1 on the minute clock.
    long long move = -1;
    static MarketClock Now();
    // The day of `from`, one minute on per request: the quote's time, price, change and volume
    // all differ from the request before (a code ending in 0 rises as well).
    static MarketClock Moving(const MarketClock& from, long long request);
    // "DAY:MINUTE" as --clock takes it ("2024100:760"); nullopt when malformed.
    static std::optional<MarketClock> Parse(std::string_view text);
    // The day as pages date it: "04/10".
    std::string MonthDay() const;
};

class Market {
  public:
    // "8058.t" or "998407"; nullopt when the symbol names nothing listed.
    static std::optional<Listing> Find(std::string_view symbol);
    // Page kind of a market suffix (unknown suffixes get Shift_JIS pages).
    static PageKind KindOfSuffix(std::string_view suffix);

    static Quote QuoteOf(const Listing& listing, const MarketClock& clock);
    // The price after each minute from 0 to clock.minute, in price units (yen, or
    // hundredths for an index), plus the previous close as the first element.
    static std::vector<long> Walk(const Listing& listing, const MarketClock& clock);
    static std::string CompanyName(std::string_view code);
};

// Helpers shared with the page and chart code.
std::uint64_t Hash(std::string_view text, std::uint64_t salt);
std::string GroupThousands(long long value);

}  // namespace tickora::quotehost
