#include "site_quote.h"

#include <array>
#include <cstdio>

namespace tickora::quotehost {

namespace {

// What the register calls an index.
struct IndexFullName {
    const char* code;
    const char* name;
};
constexpr std::array<IndexFullName, 3> kIndexFullNames{{
    {"998407", "日経平均株価"},
    {"998405", "東証株価指数"},
    {"23337", "JASDAQ INDEX"},
}};

// Codes 1300 to 1699 are listed funds, whose registered names run long.
bool FundCode(std::string_view code) {
    return code.size() == 4 && code[0] == '1' && code[1] >= '3' && code[1] <= '6';
}

std::string FullNameOf(const Listing& l, const std::string& name) {
    if (l.index) {
        for (const IndexFullName& i : kIndexFullNames) {
            if (l.code == i.code) return i.name;
        }
        return name;
    }
    if (FundCode(l.code)) return "上場インデックスファンド" + name + "連動型";
    // The register puts 株式会社 before some names and after others.
    return (l.code.back() - '0') % 3 == 0 ? "株式会社" + name : name + "株式会社";
}

// A walk's price as the quote writes it: yen, or hundredths of an index point.
std::string PriceText(long value, bool index) {
    if (!index) return GroupThousands(value);
    const long cents = value % 100;
    return GroupThousands(value / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

}  // namespace

std::optional<SiteQuote> SiteQuoteOf(std::string_view symbol, const MarketClock& clock,
                                     bool noTradeCodes) {
    const std::optional<Listing> listing = Market::Find(symbol);
    if (!listing) return std::nullopt;
    SiteQuote s;
    s.listing = *listing;
    s.q = Market::QuoteOf(*listing, clock);
    s.fullName = FullNameOf(s.listing, s.q.name);
    s.date = clock.MonthDay();
    s.close = PriceText(Market::Walk(s.listing, clock).front(), s.listing.index);
    s.traded = !noTradeCodes || s.listing.index || !s.listing.code.ends_with("00");
    if (!s.traded) {
        s.q.price = s.q.change = s.q.ratio = s.q.volume = kNoTrade;
        s.q.sign = 0;
    }
    s.ratioBare = s.q.ratio.ends_with('%') ? s.q.ratio.substr(0, s.q.ratio.size() - 1) : s.q.ratio;
    return s;
}

std::vector<SiteQuote> OtherQuotes(int count, std::uint64_t salt, std::string_view own,
                                   const MarketClock& clock) {
    std::vector<SiteQuote> others;
    for (std::uint64_t i = 0; static_cast<int>(others.size()) < count && i < 1000; ++i) {
        const std::string code = std::to_string(1301 + Hash("v4 others", salt * 1000 + i) % 8600);
        if (code != own) others.push_back(*SiteQuoteOf(code + ".t", clock));
    }
    return others;
}

int ListLength(std::uint64_t salt, const MarketClock& clock, int lo, int hi) {
    const auto moment = static_cast<std::uint64_t>(clock.day * 1440 + clock.minute);
    return lo + static_cast<int>(Hash("list length", salt ^ moment) %
                                 static_cast<std::uint64_t>(hi - lo + 1));
}

std::string WithDecimal(const std::string& price) {
    if (price == kNoTrade || price.find('.') != std::string::npos) return price;
    return price + ".0";
}

std::string FullWidth(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            // U+FF10 + digit: EF BC 90..99.
            out += "\xEF\xBC";
            out += static_cast<char>(0x90 + (c - '0'));
        } else if (const auto* wide = c == '+'   ? "＋"
                                      : c == '-' ? "－"
                                      : c == ',' ? "，"
                                      : c == '.' ? "．"
                                      : c == '%' ? "％"
                                      : c == ':' ? "："
                                                 : nullptr) {
            out += wide;
        } else {
            out += c;
        }
    }
    return out;
}

const char* TrendClass(int sign) {
    return sign > 0 ? "up" : sign < 0 ? "down" : "flat";
}

std::string ShownTime(const SiteQuote& s, const MarketClock& clock, bool dateWhenIdle) {
    if (!s.traded) return dateWhenIdle ? s.date : kNoTrade;
    return dateWhenIdle && clock.minute >= kCloseMinute ? s.date : s.q.time;
}

ShownQuote ShownOf(std::string_view symbol, const MarketClock& clock, const UnitStyle& style) {
    const std::optional<SiteQuote> s = SiteQuoteOf(symbol, clock, style.noTradeCodes);
    if (!s) return {};
    const std::string price = style.decimals ? WithDecimal(s->q.price) : s->q.price;
    ShownQuote out;
    out.plain = {s->q.name,    ShownTime(*s, clock, style.dateWhenIdle),
                 price,        s->q.change,
                 s->ratioBare, s->q.volume};
    out.withUnits = out.plain;
    out.registered = s->fullName;
    if (!s->traded) return out;
    if (!s->listing.index) {
        out.withUnits[2] += style.yen;
        out.withUnits[3] += style.changeYen;
        out.withUnits[5] += style.shares;
    }
    out.withUnits[4] += "%";
    return out;
}

std::string NewsTime(int i, const MarketClock& clock) {
    const int minute = ((clock.minute - 3 - 11 * i) % 1440 + 1440) % 1440;
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

std::string NewsHeadline(int i, std::string_view salt) {
    static const char* const kSubjects[] = {"日経平均", "TOPIX", "円相場", "新興株", "長期金利"};
    static const char* const kMoves[] = {"円高", "円安", "ポイント高", "ポイント安"};
    const std::uint64_t h = Hash(salt, static_cast<std::uint64_t>(i));
    const std::string size = std::to_string(10 + h % 390);
    return std::string(kSubjects[h % 5]) + "、前引けは" + FullWidth(size) + kMoves[(h >> 8) % 4];
}

std::string NotFoundSentence(std::string_view symbol) {
    return "指定されたコード「" + SafeSymbol(symbol) + "」の銘柄は見つかりませんでした。";
}

ShownQuote HibariShown(std::string_view symbol, const MarketClock& clock) {
    return ShownOf(symbol, clock, {});
}

ShownQuote Hibari2Shown(std::string_view symbol, const MarketClock& clock) {
    return ShownOf(symbol, clock, {.decimals = true, .dateWhenIdle = true});
}

ShownQuote MisakiShown(std::string_view symbol, const MarketClock& clock) {
    return ShownOf(symbol, clock, {.changeYen = "円", .shares = " 株"});
}

ShownQuote ModernShown(std::string_view symbol, const MarketClock& clock) {
    ShownQuote shown = ShownOf(symbol, clock, {.noTradeCodes = false});
    shown.registered.clear();
    return shown;
}

// The volume stands on a line of its own, its unit on the next.
ShownQuote TableShown(std::string_view symbol, const MarketClock& clock) {
    ShownQuote shown = ShownOf(symbol, clock, {.shares = " 株", .noTradeCodes = false});
    shown.registered.clear();
    return shown;
}

std::span<const PageLayout> V4Layouts() {
    static constexpr PageLayout kLayouts[] = {
        {"/v4/hibari/q", "ひばり株価", HibariQuotePage, HibariShown},
        {"/v4/hibari2/q", "ひばり株価", Hibari2QuotePage, Hibari2Shown},
        {"/v4/misaki/q", "みさき株ナビ", MisakiQuotePage, MisakiShown},
    };
    return kLayouts;
}

}  // namespace tickora::quotehost
