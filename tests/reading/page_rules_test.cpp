// Page rules: the text they make of a figure, how they are written and kept, what a bad rule
// or a hostile page does, and a fetch read by them through every failure.

#include "reading/page_rules.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "quote_host.h"
#include "quotes/fetch.h"
#include "reading/extract.h"
#include "temp_dir.h"
#include "watchlist/settings_file.h"

namespace tickora {
namespace {

FigureTexts Rules(std::initializer_list<std::pair<int, std::string>> set) {
    FigureTexts rules;
    for (const auto& [figure, text] : set) rules[figure] = Sj(text);
    return rules;
}

// Six rules from six texts each ended by a zero byte.
FigureTexts SixRules(const std::string& joined) {
    FigureTexts rules;
    std::size_t at = 0;
    for (std::string& rule : rules) {
        const std::size_t end = joined.find('\0', at);
        rule = joined.substr(at, end - at);
        at = end + 1;
    }
    return rules;
}

std::string Read(const FigureTexts& rules, const std::string& page,
                 const std::string& contentType = "text/html; charset=utf-8") {
    return QuoteOfPageByRules(page, contentType, PageRules(rules));
}

TEST(PageRules, FiguresAreReadAsAPersonReadsThem) {
    const struct {
        const char* what;
        std::string cell, rule, figure;
    } cases[] = {
        {"indented on a line of its own", "<td id=v>\n      18,572,000\n    </td>", "//td",
         "18,572,000"},
        {"no-break and ideographic spaces fold", "<td>12/07&nbsp;\xE3\x80\x80 15:00</td>", "//td",
         "12/07 15:00"},
        {"a unit joins its number", "<td>1,192&nbsp;\xE3\x80\x80 円</td>", "//td", "1,192円"},
        {"markup's blanks inside a number go", "<td>+ 408.\n<span>0</span>\n<i>円</i></td>", "//td",
         "+408.0円"},
        {"full-width signs and digits", "<td>＋１６．７２％ ０１２３４５６７８９</td>", "//td",
         "+16.72% 0123456789"},
        {"full-width minus and minus sign", "<td>－5 / −6，0</td>", "//td", "-5 / -6,0"},
        {"a price split by a tag", "<td>408.<span class=d>0</span>円</td>", "//td ~ ^([\\d.]+)",
         "408.0"},
        {"change and ratio share an element", "<td>+5.0(+1.24%)</td>", "//td ~ \\((.+?)\\)",
         "+1.24%"},
        {"an expression without a group takes its match", "<td>abc 12:40</td>", "//td ~ \\d+:\\d+",
         "12:40"},
        {"JSON in a script", "<script>{\"p\":\"2,724.5\",\"q\":1}</script>",
         "//script ~ \"p\":\"([^\"]+)\"", "2,724.5"},
        {"an XPath string value", "<td>7</td>", "concat('x', //td)", "x7"},
        {"'_' cannot shift the fields", "<td>1_2</td>", "//td", "1＿2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string page = "<html><body><table><tr>" + c.cell + "</tr></table></body></html>";
        EXPECT_EQ(Read(Rules({{kPriceFigure, c.rule}}), page), "__" + Sj(c.figure) + "____");
    }
}

TEST(PageRules, RuleTextsSplitAndSurviveTheIniByteForByte) {
    const struct {
        std::string text, path, expression;
    } cases[] = {
        {"//th[.='出来高']/following-sibling::td[1]", "//th[.='出来高']/following-sibling::td[1]",
         ""},
        {"//td[@class='a~b'] ~ ([\\d,]+)株", "//td[@class='a~b']", "([\\d,]+)株"},
        {"//td[.=\"~\"]~x~y", "//td[.=\"~\"]", "x~y"},
        {"'//td'", "'//td'", ""},  // quoted whole: the ini would drop the quotes
        {"\"x\" ~ \"", "\"x\"", "\""},
        {"//ソ[.='表'] ~ ソ(.)", "//ソ[.='表']", "ソ(.)"},  // second bytes 0x5C
        {"(//div[@id='" + std::string(300, 'q') + "'])[1]",
         "(//div[@id='" + std::string(300, 'q') + "'])[1]", ""},
    };
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    SettingsData data = DefaultSettings();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.text);
        const RuleParts parts = SplitRule(Sj(c.text));
        EXPECT_EQ(parts.path, Sj(c.path));
        EXPECT_EQ(parts.expression, Sj(c.expression));
        EXPECT_EQ(SplitRule(JoinRule(parts.path, parts.expression)).expression, parts.expression);
        data.page.m_arrRules[i % kFigureCount] = Sj(c.text);
        ASSERT_TRUE(SaveSettingsData(path, data));
        EXPECT_EQ(LoadSettingsData(path).page.m_arrRules, data.page.m_arrRules);
    }
    // Without rules a save adds no section, and one that changes nothing changes no byte.
    test::TempDir clean;
    ASSERT_TRUE(SaveSettingsData(SettingsPath(clean.folder()), DefaultSettings()));
    EXPECT_EQ(clean.Read("base_data.ini").find("PAGE_RULES"), std::string::npos);
    const std::string saved = dir.Read("base_data.ini");
    ASSERT_TRUE(SaveSettingsData(path, LoadSettingsData(path)));
    EXPECT_EQ(dir.Read("base_data.ini"), saved);
}

TEST(PageRules, OnlyAPriceRuleSwitchesPagesToRules) {
    EXPECT_FALSE(UsesRules(Rules({{0, "//h1"}, {4, "//td"}})));
    EXPECT_FALSE(UsesRules(Rules({{kPriceFigure, "  ~ (x)"}})));
    EXPECT_TRUE(UsesRules(Rules({{kPriceFigure, "//b"}})));
    // A figure without a rule is empty; the rest are read.
    EXPECT_EQ(Read(Rules({{kPriceFigure, "//b"}, {4, "//i"}}), "<b>12</b><i>-1%</i>"),
              "__12__-1%__");
}

TEST(PageRules, BadRulesAndHostilePagesNeitherCrashNorHang) {
    const std::string aLot(200'000, 'a');
    std::string deep, wide, labels, garbage, many, costly;
    // Each rule takes more than half the XPath steps one rule may take on this page.
    for (int i = 0; i < 200'000; ++i) many += "<p>1</p>";
    for (int f = 0; f < kFigureCount; ++f) {
        costly += "//b[";
        for (int i = 0; i < 8; ++i) costly += (i ? "+" : "") + std::string("count(//p)");
        costly += " > " + std::to_string(f) + "]";
        costly += '\0';
    }
    for (int i = 0; i < 20'000; ++i) deep += "<div>";
    for (int i = 0; i < 3'000; ++i) wide += "<p>1</p>";
    for (int i = 0; i < 100'000; ++i) labels += "<tr><th>x</th><td>" + std::to_string(i) + "</td>";
    for (std::uint32_t x = 1; garbage.size() < 4096;)
        garbage += static_cast<char>((x *= 48271) >> 24);
    const struct {
        const char* what;
        FigureTexts rules;
        std::string page;
        const char* error;  // the start of the one error named, or ""
        const char* result;
    } cases[] = {
        {"a path that does not compile", Rules({{kPriceFigure, "//b"}, {5, "//td[["}}), "<b>1</b>",
         "dekidaka: the path", ""},
        {"an expression that does not compile", Rules({{kPriceFigure, "//b ~ ([0-9]"}}), "<b>1</b>",
         "genzaiti: the expression", ""},
        {"a runaway expression gives up", Rules({{kPriceFigure, "//b ~ ^(a+)+$"}}),
         "<b>" + aLot + "!</b>", "", ""},
        {"a runaway path gives up", Rules({{kPriceFigure, "count(//p[count(//p) > 0])"}}), wide, "",
         ""},
        {"100,000 labels",
         Rules({{kPriceFigure,
                 "(//th[.='x'][following-sibling::*[1][self::td]])[1]/following-sibling::td[1]"}}),
         labels, "", "__0____"},
        {"nesting 20,000 deep", Rules({{kPriceFigure, "//b"}}), "<b>7</b>" + deep, "", "__7____"},
        {"random bytes", Rules({{kPriceFigure, "//b"}}), garbage, "", ""},
        {"bytes that are no UTF-8, and zero bytes", Rules({{kPriceFigure, "//b"}}),
         std::string("<b>1\x80\x00 2</b>", 13), "", "__1? 2____"},
        {"no markup at all", Rules({{kPriceFigure, "//b"}}), "", "", ""},
        {"an external entity is not loaded", Rules({{0, "//b"}, {kPriceFigure, "//i"}}),
         "<!DOCTYPE html [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><b>&x;</b><i>1</i>", "",
         "&x;__1____"},
        {"a price without a digit is no price", Rules({{kPriceFigure, "//b"}}), "<b>---</b>", "",
         ""},
        {"a page of today's largest size", Rules({{kPriceFigure, "//b"}}),
         "<p>" + std::string(1'300'000, ' ') + "</p><b>9</b>", "", "__9____"},
        {"six rules near the step budget, each within its own", SixRules(costly), many + "<b>7</b>",
         "", "7_7_7_7_7_7_"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PageRules rules(c.rules);
        const std::vector<RuleError>& errors = rules.Errors();
        EXPECT_EQ(errors.size(), c.error[0] ? 1u : 0u);
        if (!errors.empty()) {
            EXPECT_TRUE(DescribeRuleError(errors[0]).starts_with(c.error))
                << DescribeRuleError(errors[0]);
        }
        EXPECT_EQ(QuoteOfPageByRules(c.page, "text/html", rules), c.result);
    }
    // A match that backtracks gives up at the program's own limit, far below PCRE2's default.
    const PageRules backtracking(Rules({{kPriceFigure, "//b ~ ^(a|aa)+$"}}));
    const ParsedPage page("<b>" + std::string(28, 'a') + "b</b>");
    EXPECT_EQ(backtracking.Read(page)[kPriceFigure].miss, Miss::kGaveUp);
}

TEST(PageRules, PagesOfEveryCharsetAreParsedAsUtf8) {
    const FigureTexts rules = Rules({{0, "//h1"}, {kPriceFigure, "//b"}});
    const std::string body = "<h1>東西</h1><b>1,234</b>";
    EXPECT_EQ(Read(rules, Sj("<meta charset=Shift_JIS>" + body), "text/html"),
              Sj("東西__1,234____"));
    EXPECT_EQ(Read(rules, "\xEF\xBB\xBF" + body, "text/html"), Sj("東西__1,234____"));
    // EUC-JP: 0xC5EC 0xC0BE is 東西.
    EXPECT_EQ(Read(rules, "<h1>\xC5\xEC\xC0\xBE</h1><b>1</b>", "text/html"), Sj("東西__1____"));
}

TEST(PageRules, AFetchReadsByRulesThroughEveryFailure) {
    test::QuoteHost quoteHost;
    const PageReading reading(DefaultPatternTexts(),
                              Rules({{kPriceFigure, "//span[@class='price-value']"},
                                     {4, "//span[@class='change-ratio'] ~ \\((.+)\\)"}}));
    const FetchOptions quick{2'000, 2, 10, nullptr};
    const FigureTexts fields =
        SplitQuoteResult(FetchQuote(quoteHost.Url("/v2/q?s=7203.t"), reading));
    EXPECT_GT(fields[2].size(), 0u);
    EXPECT_EQ(RiseFallMark(fields[4]), FallMark());
    for (const char* path :
         {"/fault/404/v2/q?s=7203.t", "/fault/garbage/v2/q?s=7203.t", "/fault/huge/v2/q?s=7203.t"})
        EXPECT_EQ(FetchQuote(quoteHost.Url(path), reading, quick), "") << path;
    for (const char* path : {"/fault/reset/v2/q?s=7203.t", "/fault/stall/v2/q?s=7203.t"})
        EXPECT_TRUE(FetchQuote(quoteHost.Url(path), reading, quick).starts_with(FetchErrorHead()))
            << path;
    const test::ClosedPort closed;
    EXPECT_TRUE(
        FetchQuote(closed.Url("/v2/q?s=7203.t"), reading, quick).starts_with(FetchErrorHead()));
}

}  // namespace
}  // namespace tickora
