// The /v3 layouts of the quote host as its answers carry them: for a rising and a falling stock,
// each layout must keep the quote's own figures in the shape and at the depth it promises. And
// the codings of its answers, the bomb's among them.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "answers.h"
#include "compression.h"

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

}  // namespace
}  // namespace tickora::quotehost
