#include "market.h"

#include <time.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace tickora::quotehost {

namespace {

struct MarketInfo {
    const char* suffix;
    const char* name;
    PageKind kind;
};

// Tokyo, Osaka and Nagoya pages are Shift_JIS; the others EUC-JP, so both extraction
// paths of the client get traffic.
constexpr std::array<MarketInfo, 7> kMarkets{{
    {"t", "東証", PageKind::kShiftJis},
    {"q", "ＪＱ", PageKind::kEucJp},
    {"j", "ＨＣ", PageKind::kEucJp},
    {"o", "大証", PageKind::kShiftJis},
    {"n", "名証", PageKind::kShiftJis},
    {"f", "福岡", PageKind::kEucJp},
    {"s", "札幌", PageKind::kEucJp},
}};

struct IndexInfo {
    const char* code;
    const char* name;
    long baseHundredths;
    PageKind kind;
};

constexpr std::array<IndexInfo, 3> kIndices{{
    {"998407", "日経平均", 1'650'012, PageKind::kShiftJis},
    {"998405", "TOPIX", 165'034, PageKind::kEucJp},
    {"23337", "JASDAQ", 9'512, PageKind::kEucJp},
}};

// Codes the demo and the tests refer to by name. Every other code is composed below.
struct NamedCompany {
    const char* code;
    const char* name;
};
constexpr std::array<NamedCompany, 5> kNamedCompanies{{
    {"8058", "東西精機"},
    {"1001", "青葉化学"},
    {"4321", "ｿﾗﾏﾁ電子"},  // half-width kana: exercises EUC-JP single shift 2
    {"6502", "白峰電工"},
    {"9984", "銀河通信"},
}};

// Invented, deliberately unusual words, so that a composed name is not a real company.
constexpr std::array<const char*, 16> kNameHeads{
    "翠嶺", "桜丘", "雪村", "千波", "凪野", "蒼穹",   "若草", "夕凪",
    "星河", "森野", "霞浦", "朧月", "琥珀", "瑠璃野", "萌黄", "柊原",
};
constexpr std::array<const char*, 16> kNameTails{
    "精機", "化学", "電工", "物産", "製薬", "建設", "食品", "商事",
    "重工", "紡績", "通信", "海運", "製紙", "電子", "興産", "工業",
};

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

bool IsDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The sign of today's change: a code ending in 0 is unchanged, an odd last digit falls,
// an even one rises. Fixed so that tests can pick a falling or rising code.
int SignOf(std::string_view code) {
    const int last = code.back() - '0';
    if (last == 0) return 0;
    return last % 2 == 1 ? -1 : +1;
}

long StockTick(long price) {
    if (price < 3000) return 1;
    if (price < 5000) return 5;
    return 10;
}

long PreviousClose(const Listing& l, long day) {
    const std::uint64_t h = Hash(l.code, static_cast<std::uint64_t>(day));
    if (l.index) {
        const auto it = std::find_if(kIndices.begin(), kIndices.end(),
                                     [&](const IndexInfo& i) { return l.code == i.code; });
        const long base = it->baseHundredths;
        // Up to +-3 % from the base, day by day.
        return base + static_cast<long>(h % 601) * base / 10'000 - base * 3 / 100;
    }
    const long base = 100 + static_cast<long>(Hash(l.code, 0) % 9'900);
    const long close = base + static_cast<long>(h % 101) * base / 1'000 - base * 5 / 100;
    const long tick = StockTick(close);
    return std::max(tick, close / tick * tick);
}

std::string Signed(long long v, const std::string& text) {
    if (v > 0) return "+" + text;
    if (v < 0) return "-" + text;
    return text;
}

// value in hundredths as "16,500.12".
std::string Hundredths(long long v) {
    const long long a = std::llabs(v);
    const long long frac = a % 100;
    return GroupThousands(a / 100) + "." + (frac < 10 ? "0" : "") + std::to_string(frac);
}

}  // namespace

std::uint64_t Hash(std::string_view text, std::uint64_t salt) {
    std::uint64_t h = 0xCBF29CE484222325ull ^ Mix(salt);
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
    return Mix(h);
}

std::string GroupThousands(long long value) {
    std::string digits = std::to_string(std::llabs(value));
    std::string out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[static_cast<std::size_t>(i)];
    }
    return value < 0 ? "-" + out : out;
}

MarketClock MarketClock::Now() {
    const time_t t = time(nullptr);
    struct tm local {};
    localtime_r(&t, &local);
    MarketClock c;
    c.day = (local.tm_year + 1900L) * 1000L + local.tm_yday;
    c.minute = local.tm_hour * 60 + local.tm_min;
    return c;
}

MarketClock MarketClock::Moving(const MarketClock& from, long long request) {
    MarketClock c = from;
    c.minute = static_cast<int>(request % 1440);
    c.move = request;
    return c;
}

std::optional<MarketClock> MarketClock::Parse(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view day = text.substr(0, colon), minute = text.substr(colon + 1);
    if (!IsDigits(day) || !IsDigits(minute) || day.size() > 9 || minute.size() > 4)
        return std::nullopt;
    MarketClock c;
    c.day = std::atol(std::string(day).c_str());
    c.minute = std::atoi(std::string(minute).c_str());
    if (c.minute >= 1440) return std::nullopt;
    return c;
}

std::string MarketClock::MonthDay() const {
    const long year = day / 1000;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int lengths[12] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int rest = static_cast<int>((day % 1000 + 1000) % 1000 % (leap ? 366 : 365));
    int month = 0;
    while (rest >= lengths[month]) rest -= lengths[month++];
    char text[24];
    std::snprintf(text, sizeof text, "%02d/%02d", month + 1, rest + 1);
    return text;
}

std::optional<Listing> Market::Find(std::string_view symbol) {
    for (const IndexInfo& i : kIndices) {
        if (symbol == i.code) {
            return Listing{i.code, "", "指数", true, i.kind};
        }
    }
    const auto dot = symbol.find('.');
    if (dot != 4 || !IsDigits(symbol.substr(0, 4))) return std::nullopt;
    const std::string_view suffix = symbol.substr(5);
    for (const MarketInfo& m : kMarkets) {
        if (suffix == m.suffix) {
            return Listing{std::string(symbol.substr(0, 4)), m.suffix, m.name, false, m.kind};
        }
    }
    return std::nullopt;
}

PageKind Market::KindOfSuffix(std::string_view suffix) {
    for (const MarketInfo& m : kMarkets) {
        if (suffix == m.suffix) return m.kind;
    }
    return PageKind::kShiftJis;
}

std::string Market::CompanyName(std::string_view code) {
    for (const NamedCompany& c : kNamedCompanies) {
        if (code == c.code) return c.name;
    }
    const std::uint64_t h = Hash(code, 7);
    return std::string(kNameHeads[h % kNameHeads.size()]) +
           kNameTails[(h / kNameHeads.size()) % kNameTails.size()];
}

std::vector<long> Market::Walk(const Listing& l, const MarketClock& clock) {
    const long close = PreviousClose(l, clock.day);
    const int sign = SignOf(l.code);
    const long unit = l.index ? std::max(1L, close / 20'000) : StockTick(close);
    const long cap = std::max(unit, close / 5 / unit * unit);  // at most 20 % a day
    std::vector<long> prices{close};
    long walk = 0;
    for (int m = 0; m <= clock.minute; ++m) {
        const std::uint64_t h = Hash(l.code, static_cast<std::uint64_t>(clock.day * 1440 + m));
        walk += static_cast<long>(h % 3) - 1;
        // The walk's distance from zero sets the size of the move, the code its sign.
        const long move = std::min(cap, unit * (1 + std::labs(walk)));
        prices.push_back(close + sign * move);
    }
    if (clock.move >= 0) {
        // A step of its own for every request, within the day's cap.
        const long steps = std::max(2L, cap / unit);
        prices.back() = close + (sign != 0 ? sign : 1) * unit * (1 + clock.move % steps);
    }
    return prices;
}

Quote Market::QuoteOf(const Listing& l, const MarketClock& clock) {
    const std::vector<long> walk = Walk(l, clock);
    const long close = walk.front();
    const long price = walk.back();
    const long change = price - close;

    long long volume = 0;
    for (int m = 0; m <= clock.minute; ++m) {
        const std::uint64_t h =
            Hash(l.code, static_cast<std::uint64_t>(clock.day * 1440 + m) ^ 0x5A5A);
        volume += static_cast<long long>(h % 50) * (l.index ? 100'000 : 1'000);
    }
    if (clock.move >= 0) volume += clock.move * (l.index ? 100'000 : 1'000);
    volume = std::max(volume, 1'000LL);

    long long ratio =
        (static_cast<long long>(change) * 10'000 + (change >= 0 ? close : -close) / 2) / close;
    if (ratio == 0 && change != 0) ratio = change > 0 ? 1 : -1;

    Quote q;
    q.name = l.index ? std::find_if(kIndices.begin(), kIndices.end(),
                                    [&](const IndexInfo& i) { return l.code == i.code; })
                           ->name
                     : CompanyName(l.code);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", clock.minute / 60, clock.minute % 60);
    q.time = time;
    q.price = l.index ? Hundredths(price) : GroupThousands(price);
    q.change = Signed(change, l.index ? Hundredths(change) : GroupThousands(std::labs(change)));
    q.ratio = Signed(ratio, Hundredths(ratio)) + "%";
    q.volume = GroupThousands(volume);
    q.sign = change > 0 ? 1 : (change < 0 ? -1 : 0);
    return q;
}

}  // namespace tickora::quotehost
