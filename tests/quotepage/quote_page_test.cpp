// The quote-page core without widgets: a page tried as a pass reads it, suggestions adopted,
// a second stock checked, and the figure a double click picks.

#include "quotepage/quote_page.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace tickora {
namespace {

// A quote row as the built-in patterns read it, after lines lines of other text.
std::string PatternPage(int lines) {
    std::string page = "<meta charset=Shift_JIS>\n";
    for (int i = 0; i < lines; ++i) page += "<br>\n";
    return page +
           "</tr><tr align=right><small>NAME</small><td nowrap align=center>15:00</td><td "
           "nowrap><b>1,234</b></td><td nowrap>+12</td><td nowrap>+0.98%</td><td "
           "nowrap>123,000</td>\n";
}

// A page of today: figures in cells of their own classes.
std::string RulePage(const std::string& name, const std::string& price,
                     const std::string& change = "+12", const std::string& volume = "5,000") {
    return "<meta charset=utf-8><h1>" + name + "</h1><b class=t>15:00</b><b class=p>" + price +
           "</b><b class=c>" + change + "</b><b class=r>+0.98%</b><b class=v>" + volume + "</b>";
}

PageSettings ByRules(std::initializer_list<std::pair<int, const char*>> rules) {
    PageSettings s;
    for (const auto& [figure, rule] : rules) s.m_arrRules[figure] = rule;
    return s;
}

const PageSettings kSix = ByRules({{kNameFigure, "//h1"},
                                   {kTimeFigure, "//b[@class='t']"},
                                   {kPriceFigure, "//b[@class='p']"},
                                   {kChangeFigure, "//b[@class='c']"},
                                   {kRatioFigure, "//b[@class='r']"},
                                   {kVolumeFigure, "//b[@class='v']"}});

using M = std::array<Miss, kFigureCount>;
M All(Miss miss) {
    M all;
    all.fill(miss);
    return all;
}

TEST(QuotePage, ATrialReadsAsAPassReadsAndSaysWhyEachFigureWasNotRead) {
    constexpr Miss R = Miss::kRead;
    const struct {
        const char* what;
        PageSample sample;
        PageSettings settings;
        M misses;
    } cases[] = {
        {"patterns in the pieces a pass reads",
         SampleOf("a", PatternPage(10)),
         {},
         {R, R, R, R, R, R}},
        {
            "patterns past the 202nd piece",
            SampleOf("a", PatternPage(250)),
            {},
            All(Miss::kAnchorMissing),
        },
        {"rules, the volume left without one",
         SampleOf("a", RulePage("N", "1,234")),
         ByRules({{kPriceFigure, "//b[@class='p']"}, {kTimeFigure, "//b[@class='t']"}}),
         {Miss::kNoRule, R, R, Miss::kNoRule, Miss::kNoRule, Miss::kNoRule}},
        {"a price without a number",
         SampleOf("a", RulePage("N", "---")),
         kSix,
         {R, R, Miss::kNotANumber, R, R, R}},
        {"a rule that does not compile",
         SampleOf("a", RulePage("N", "1")),
         ByRules({{kPriceFigure, "//b[@class='p']"}, {kVolumeFigure, "//b["}}),
         {Miss::kNoRule, Miss::kNoRule, R, Miss::kNoRule, Miss::kNoRule, Miss::kBrokenRule}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Trial t = TryPage(c.sample, c.settings);
        EXPECT_EQ(t.misses, c.misses);
        const bool price =
            c.misses[kPriceFigure] == R && c.misses[kVolumeFigure] != Miss::kBrokenRule;
        EXPECT_EQ(t.quote.has_value(), price);
        if (price) {
            EXPECT_EQ(t.quote->price, "1,234");
        }
    }
    PageSample failed;
    failed.failure = FetchFailure{7, "refused"};
    const Trial t = TryPage(failed, kSix);
    EXPECT_EQ(t.misses, All(Miss::kFetchFailed));
    EXPECT_TRUE(t.result.starts_with(FetchErrorHead()));
}

TEST(QuotePage, ACheckHoldsOnlyForAnotherStocksPageThatReadsWhatItShould) {
    const PageSample test = SampleOf("http://h/q?s=1", RulePage("東西", "1,234"));
    PageSettings noVolume = kSix;
    noVolume.m_arrRules[kVolumeFigure].clear();
    const auto typed = [](const char* price) {
        FigureTexts values;
        values[kPriceFigure] = price;
        return values;
    };
    const struct {
        const char* what;
        PageSample second;
        PageSettings settings;
        FigureTexts typed;
        Verdict verdict;
    } cases[] = {
        {"another stock",
         SampleOf("http://h/q?s=2", RulePage("南北", "987")),
         kSix,
         {},
         Verdict::kHolds},
        {"a figure left without a rule on purpose",
         SampleOf("http://h/q?s=2", RulePage("南北", "987", "+1", "")),
         noVolume,
         {},
         Verdict::kHolds},
        {"a figure with a rule that reads nothing",
         SampleOf("http://h/q?s=2", RulePage("南北", "987", "")),
         kSix,
         {},
         Verdict::kPartly},
        {"the price holds no number",
         SampleOf("http://h/q?s=2", RulePage("南北", "---")),
         kSix,
         {},
         Verdict::kNoPrice},
        {"the same address",
         SampleOf("http://h/q?s=1", RulePage("南北", "987")),
         kSix,
         {},
         Verdict::kSamePage},
        {"the same name",
         SampleOf("http://h/q?s=2", RulePage("東西", "987")),
         kSix,
         {},
         Verdict::kSamePage},
        {"the price typed for it is read otherwise",
         SampleOf("http://h/q?s=2", RulePage("南北", "987")), kSix, typed("988"),
         Verdict::kDiffers},
        {"as typed, its unit and '+' aside", SampleOf("http://h/q?s=2", RulePage("南北", "+987円")),
         kSix, typed("987"), Verdict::kHolds},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckStock(test, c.second, c.settings, c.typed).verdict, c.verdict);
    }
    PageSample failed;
    failed.failure = FetchFailure{6, "no such host"};
    EXPECT_EQ(CheckStock(test, failed, kSix).verdict, Verdict::kFetchFailed);
}

TEST(QuotePage, OnlyRulesForEveryTypedFigureAreAdoptedAndClearingThemIsSaid) {
    const PageSample sample = SampleOf("a", RulePage("NAME", "1,234"));
    FigureTexts values = {"NAME", "15:00", "1,234", "+12", "+0.98%", "5,000"};
    const Adoption complete = Adopt(kSix, Suggest(sample, values));
    EXPECT_TRUE(complete.rules);
    EXPECT_FALSE(complete.rulesCleared);
    EXPECT_EQ(complete.settings.m_arrRules[kPriceFigure], "//b[@class='p']");
    // A figure left empty gets no rule, on purpose; one typed that the page lacks spoils all.
    values[kVolumeFigure].clear();
    EXPECT_TRUE(Adopt({}, Suggest(sample, values)).rules);
    values[kNameFigure] = "NOT THERE";
    const Adoption partial = Adopt(kSix, Suggest(sample, values));
    EXPECT_FALSE(partial.rules);
    EXPECT_EQ(partial.settings.m_arrRules, kSix.m_arrRules);
    // Patterns found read pages only without a price rule: adopting them clears the rules.
    const PageSample old = SampleOf("b", PatternPage(3));
    const Adoption patterns =
        Adopt(kSix, Suggest(old, {"NAME", "15:00", "1,234", "+12", "+0.98%", "NOT THERE"}));
    EXPECT_FALSE(patterns.patterns);
    const Adoption both =
        Adopt(kSix, Suggest(old, {"NAME", "15:00", "1,234", "+12", "+0.98%", "123,000"}));
    EXPECT_TRUE(both.patterns);
    EXPECT_FALSE(both.rules);
    EXPECT_TRUE(both.rulesCleared);
    EXPECT_EQ(both.settings.m_arrRules, FigureTexts{});
}

TEST(QuotePage, ADoubleClickPicksTheFigureWithoutItsUnit) {
    const struct {
        std::u16string line;
        std::size_t at;
        std::u16string picked;
    } cases[] = {
        {u"現在値 4,785円 (前日比)", 6, u"4,785"}, {u"(+0.98%)", 3, u"+0.98%"},
        {u"１，２３４株", 0, u"１，２３４"},       {u"東西精機 株価", 1, u"東西精機"},
        {u"15:00\u3000更新", 2, u"15:00"},         {u"   ", 1, u""},
    };
    for (const auto& c : cases) {
        const auto [from, to] = FigureAt(c.line, c.at);
        EXPECT_EQ(c.line.substr(from, to - from), c.picked) << c.at;
    }
}

}  // namespace
}  // namespace tickora
