// The /v3 and /v4 layouts of the quote host as its answers carry them: for each kind of stock,
// each layout must keep the quote's own figures in the shape and at the depth it promises, and
// the /v4 ones what misleads a reader before them. And the codings of its answers, the bomb's
// among them.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "answers.h"
#include "common/codepage.h"
#include "compression.h"
#include "pages.h"
#include "quote_host.h"
#include "reading/page_rules.h"

namespace tickora::quotehost {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The ratio as the module page's badge writes it: full-width sign and percent.
std::string FullWidthRatio(const Quote& q) {
    return (q.sign > 0 ? "＋" : "－") + q.ratio.substr(1, q.ratio.size() - 2) + "％";
}

using Check = void (*)(const std::string& page, const Quote& q, const std::string& trend);

const struct {
    const char* path;
    Check check;
} kLayouts[] = {
    {"/v3/table/q",
     [](const std::string& page, const Quote& q, const std::string& trend) {
         EXPECT_GT(page.size(), 90'000u);
         EXPECT_LT(page.size(), 110'000u);
         const auto price = page.find("<td class=\"price\">" + q.price + "円</td>");
         ASSERT_NE(price, std::string::npos);
         EXPECT_GT(std::count(page.begin(), page.begin() + price, '\n'), 600);
         const std::string board = page.substr(price, 1000);
         EXPECT_TRUE(Has(board, "<span class=\"" + trend + "\">" + q.change + "</span>"));
         EXPECT_TRUE(Has(board, "<span class=\"" + trend + "\">" + q.ratio + "</span>"));
         EXPECT_TRUE(std::regex_search(board, std::regex(">\n +" + q.volume + "\n")));
         EXPECT_TRUE(Has(board, "<time>" + q.time + "</time>"));
     }},
    {"/v3/module/q",
     [](const std::string& page, const Quote& q, const std::string& trend) {
         EXPECT_LT(std::count(page.begin(), page.end(), '\n'), 10);
         const auto name = page.find("<h1 ");
         ASSERT_NE(name, std::string::npos);
         EXPECT_GT(name, 300'000u);
         const std::string board = page.substr(name);
         EXPECT_TRUE(Has(board, ">" + q.change + "(" + q.ratio + ")</span>"));
         EXPECT_TRUE(Has(board, ">" + q.price + ".<span class=\"Price__decimal__"));
         EXPECT_TRUE(Has(board, ">" + FullWidthRatio(q) + "<"));
         EXPECT_TRUE(Has(board, ">" + q.volume + "&nbsp;株<"));
         EXPECT_TRUE(Has(board, " Board__" + trend + "__"));
         EXPECT_FALSE(Has(board, " id="));
         const std::regex hashed("__[0-9A-Za-z]{4}$");
         const std::regex classes("class=\"([^\"]*)\"");
         for (std::sregex_iterator it(board.begin(), board.end(), classes), end; it != end; ++it) {
             std::istringstream names((*it)[1].str());
             for (std::string n; names >> n;) EXPECT_TRUE(std::regex_search(n, hashed)) << n;
         }
     }},
    {"/v3/script/q",
     [](const std::string& page, const Quote& q, const std::string& trend) {
         const std::string open = "<script id=\"__APP_STATE__\" type=\"application/json\">";
         const auto from = page.find(open);
         const auto to = page.find("</script>", from);
         ASSERT_NE(to, std::string::npos);
         const std::string state = page.substr(from, to - from);
         const std::string fields[][2] = {{"price", q.price},         {"change", q.change},
                                          {"changePercent", q.ratio}, {"volume", q.volume},
                                          {"time", q.time},           {"direction", trend}};
         for (const auto& [key, value] : fields) {
             const auto at = state.find("\"" + key + "\":\"" + value + "\"");
             EXPECT_LT(at, state.find("\"related\"")) << key;
         }
         const std::string visible = page.substr(0, from) + page.substr(to);
         for (const std::string& figure : {q.price, q.ratio, q.volume})
             EXPECT_FALSE(Has(visible, figure)) << figure;
         EXPECT_TRUE(Has(visible, "data-field=\"price\""));
     }},
};

TEST(QuotePagesTest, EachLayoutShowsRisingAndFallingQuotesInItsOwnShape) {
    const MarketClock clock{.day = 2024'100, .minute = 760};
    // The last digit of a code fixes the sign of its day: even rises, odd falls.
    const std::pair<const char*, int> stocks[] = {{"8058.t", +1}, {"7203.t", -1}};
    for (const auto& layout : kLayouts) {
        for (const auto& [symbol, sign] : stocks) {
            SCOPED_TRACE(std::string(layout.path) + "?s=" + symbol);
            const Quote q = Market::QuoteOf(*Market::Find(symbol), clock);
            ASSERT_EQ(q.sign, sign);
            const Answer a = NormalAnswer(layout.path, {{"s", symbol}}, clock);
            EXPECT_EQ(a.status, 200);
            EXPECT_EQ(a.contentType, "text/html; charset=utf-8");
            EXPECT_TRUE(Has(a.body, "<meta charset=\"utf-8\">"));
            EXPECT_TRUE(Has(a.body, q.name));
            EXPECT_FALSE(Has(a.body, "見つかりませんでした"));
            layout.check(a.body, q, sign > 0 ? "up" : "down");
            EXPECT_EQ(a.body, NormalAnswer(layout.path, {{"s", symbol}}, clock).body);
        }
        const Answer unknown = NormalAnswer(layout.path, {{"s", "9999.x"}}, clock);
        EXPECT_EQ(unknown.contentType, "text/html; charset=utf-8");
        EXPECT_TRUE(Has(unknown.body, "「9999.x」の銘柄は見つかりませんでした")) << layout.path;
    }
}

// A gzip or zlib stream decoded by zlib, which checks its trailer; "<bad>" when it fails.
std::string Inflated(const std::string& data) {
    z_stream z{};
    if (inflateInit2(&z, 15 + 32) != Z_OK) return "<bad>";
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    int rc = Z_OK;
    for (char buffer[65536]; rc == Z_OK;) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END && z.avail_in == 0 ? out : "<bad>";
}

TEST(QuotePagesTest, AnswersComeInTheCodingTheRequestOffers) {
    const struct {
        const char* accept;
        Coding coding;
    } cases[] = {
        {"", Coding::kIdentity},
        {"br, zstd", Coding::kIdentity},
        {"deflate, gzip, br, zstd", Coding::kGzip},
        {"GZIP;q=0.5", Coding::kGzip},
        {"x-gzip", Coding::kGzip},
        {"gzip;q=0, deflate", Coding::kDeflate},
        {"gzip; q=0.000, deflate;q=0", Coding::kIdentity},
        {"*", Coding::kGzip},
        {"*;q=0, deflate", Coding::kDeflate},
    };
    for (const auto& c : cases) EXPECT_EQ(ChosenCoding(c.accept), c.coding) << c.accept;
    const std::string page = NormalAnswer("/v3/table/q", {{"s", "8058.t"}}, {2024'100, 760}).body;
    for (const Coding coding : {Coding::kGzip, Coding::kDeflate}) {
        const std::string coded = Encoded(page, coding);
        EXPECT_LT(coded.size() * 4, page.size()) << CodingName(coding);
        EXPECT_EQ(Inflated(coded), page) << CodingName(coding);
    }
    // The bomb is a sound gzip stream, its check sum and size included, read out in pieces.
    const GzipBomb bomb("<p>head", 3, "tail</p>");
    std::string wire;
    for (std::string_view part; wire.size() < bomb.Size(); wire += part)
        if ((part = bomb.At(wire.size(), 1000)).empty()) break;
    EXPECT_EQ(wire.size(), bomb.Size());
    EXPECT_EQ(Inflated(wire), "<p>head" + std::string(3 << 20, ' ') + "tail</p>");
    EXPECT_LT(wire.size() * 900, 3u << 20);
}

// What one rule reads on a page, UTF-8; empty when it finds nothing.
std::string ReadRule(const std::string& page, const std::string& rule) {
    PageRules rules({Sj(rule)});
    EXPECT_FALSE(rules.Broken()) << rule;
    return Cp932ToUtf8(rules.Read(ParsedPage(page))[0].value);
}

// The page's text as it reads: no tags, every run of white space (no-break too) one blank.
std::string Visible(const std::string& page) {
    const std::string text = std::regex_replace(std::regex_replace(page, std::regex("<[^>]*>"), ""),
                                                std::regex("&nbsp;"), " ");
    return std::regex_replace(text, std::regex("(\\s|\u00A0)+"), " ");
}

struct Seen {
    const ShownQuote& shown;
    const Quote& index;  // 998407's, as the header shows it
    const std::string& date;
    bool units;  // a traded stock: its figures carry units
};
using Expect = std::string (*)(const Seen&);

// Per layout, rules that read the quote's own six figures, and what stands before the quote (or
// after it) that a rule taken from the wrong element would read instead.
const struct {
    std::string_view path;
    std::array<const char*, 6> own;
    std::vector<std::pair<const char*, Expect>> marks;
} kV4[] = {
    {"/v4/hibari/q",
     {"//th[@class='name']/b", "//tr[th='取引時刻']/td",
      "//tr[starts-with(th,'株価')]/td[@class='num'] ~ ([-0-9,.]+)", "//tr[th='前日比']/td[1]",
      "//tr[th='前日比']/td[2] ~ ([-+0-9.]+)", "//tr[th='出来高']/td ~ ([-0-9,]+)"},
     {{"(//td[@class='num'])[1][following::th[@class='name']]",
       [](const Seen& s) { return s.index.price; }},
      {"//td[a[contains(@href,'=998407')]]/following-sibling::td[@class='time'][1]"
       "[following::th[@class='name']]",
       [](const Seen& s) { return s.index.time; }},
      {"//table[@class='profile']//td[1][following::th[@class='name']]",
       [](const Seen& s) { return s.shown.registered; }},
      {"//th[starts-with(.,'株価(')] ~ \\((.+)\\)", [](const Seen& s) { return s.date; }},
      {"//tr[th='出来高']/td/span[@class='unit']",
       [](const Seen& s) { return std::string(s.units ? "株" : ""); }}}},
    {"/v4/hibari2/q",
     {"//h1[@class='stock-name']", "//dt[.='時刻']/following-sibling::dd",
      "//div[contains(@class,'stock-price')]/span[@class='num']",
      "//dt[.='前日比']/following-sibling::dd/span[1]",
      "//dt[.='前日比']/following-sibling::dd/span[2] ~ ([-+0-9.]+)",
      "//dt[.='出来高']/following-sibling::dd/span[@class='num']"},
     {{"(//span[contains(@class,'num')])[1][following::h1]",
       [](const Seen& s) { return s.index.price; }},
      {"//li[a[contains(@href,'=998407')]]/time[following::h1]",
       [](const Seen& s) { return s.index.time; }},
      {"//dl[@class='company-info']/dd[1][preceding::h1]",
       [](const Seen& s) { return s.shown.registered; }},
      {"//div[contains(@class,'stock-price')]/span[@class='num']/text()",
       [](const Seen& s) {
           const std::string& price = s.shown.plain[2];
           const auto point = price.find('.');
           return point == std::string::npos ? price : price.substr(0, point + 1);
       }},
      {"//h2[@class='stock-label'] ~ （(.+)）", [](const Seen& s) { return s.date; }},
      {"//dt[.='前日比']/following-sibling::dd/span[2]/span[@class='unit']",
       [](const Seen& s) { return std::string(s.shown.plain[4] != "---" ? "%" : ""); }}}},
    {"/v4/misaki/q",
     {"//div[@class='board-title']/h1", "//tr[th='時刻']/td",
      "//tr[starts-with(th,'現在値')]/td[contains(@class,'val')] ~ ([-0-9,.]+)",
      "//tr[th='前日比']/td[1] ~ ([-+0-9,.]+)", "//tr[th='前日比']/td[2] ~ ([-+0-9.]+)",
      "//tr[th='出来高']/td ~ ([-0-9,]+)"},
     {{"(//td[contains(@class,'val')])[1][following::h1]",
       [](const Seen& s) { return s.index.price; }},
      {"//tr[th/a[contains(@href,'=998407')]]/td[@class='stamp'][following::h1]",
       [](const Seen& s) { return s.index.time; }},
      {"//ol[@class='crumbs']/li[last()][following::h1] ~ (.+)（",
       [](const Seen& s) { return s.shown.registered; }},
      {"//th[starts-with(.,'現在値')] ~ （(.+)）", [](const Seen& s) { return s.date; }},
      {"//tr[th='前日比']/td[1]/span[@class='unit']",
       [](const Seen& s) { return std::string(s.units ? "円" : ""); }}}},
};

TEST(QuotePagesTest, EachV4LayoutReadsRightAndCarriesItsTraps) {
    const MarketClock clock = test::kHostClock;
    ASSERT_EQ(clock.MonthDay(), "04/10");
    const Quote index = Market::QuoteOf(*Market::Find("998407"), clock);
    ASSERT_EQ(V4Layouts().size(), std::size(kV4));
    for (std::size_t l = 0; l < std::size(kV4); ++l) {
        const auto& layout = kV4[l];
        ASSERT_EQ(V4Layouts()[l].path, layout.path);
        // Rising, falling, an unchanged fund, no trades today, an index.
        for (const char* symbol : {"8058.t", "7203.t", "1320.t", "8300.t", "998407"}) {
            SCOPED_TRACE(std::string(layout.path) + "?s=" + symbol);
            const Answer a = NormalAnswer(layout.path, {{"s", symbol}}, clock);
            EXPECT_EQ(a.contentType, "text/html; charset=utf-8");
            const ShownQuote shown = V4Layouts()[l].shown(symbol, clock);
            const Quote q = Market::QuoteOf(*Market::Find(symbol), clock);
            const bool traded = !std::string_view(symbol).ends_with("00.t");
            const std::array<std::string, 4> figures = {q.price, q.change, q.ratio, q.volume};
            EXPECT_EQ(shown.plain[0], q.name);
            for (int f = 2; f < 6; ++f) {
                const std::string& read = f == 4 ? shown.withUnits[f] : shown.plain[f];
                EXPECT_TRUE(traded ? read.starts_with(figures[f - 2]) : read == "---") << read;
                EXPECT_TRUE(Has(Visible(a.body), shown.withUnits[f])) << shown.withUnits[f];
            }
            for (int f = 0; f < 6; ++f) EXPECT_EQ(ReadRule(a.body, layout.own[f]), shown.plain[f]);
            EXPECT_TRUE(Has(shown.registered, q.name) && shown.registered != q.name);
            const Seen seen{shown, index, clock.MonthDay(), traded && symbol[4] == '.'};
            for (const auto& [rule, expect] : layout.marks)
                EXPECT_EQ(ReadRule(a.body, rule), expect(seen)) << rule;
        }
        const std::string unknown = NormalAnswer(layout.path, {{"s", "9999.x"}}, clock).body;
        EXPECT_TRUE(Has(unknown, "「9999.x」の銘柄は見つかりませんでした")) << layout.path;
    }
}

TEST(QuotePagesTest, DatesAndTheNamedCoincidence) {
    const std::pair<long, const char*> days[] = {
        {2024'059, "02/29"}, {2023'059, "03/01"}, {2024'365, "12/31"}, {2024'366, "01/01"}};
    for (const auto& [day, date] : days) EXPECT_EQ(MarketClock{.day = day}.MonthDay(), date);
    const MarketClock at = test::kRatioMeetsRankingClock;
    EXPECT_EQ(ReadRule(ModernQuotePage("8058.t", at), "(//span[@class='rank-ratio'])[1]"),
              ModernShown("8058.t", at).withUnits[4]);
    EXPECT_NE(
        ReadRule(ModernQuotePage("8058.t", test::kHostClock), "(//span[@class='rank-ratio'])[1]"),
        ModernShown("8058.t", test::kHostClock).withUnits[4]);
}

}  // namespace
}  // namespace tickora::quotehost
