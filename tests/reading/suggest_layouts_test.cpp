// Rules suggested on one stock's page of a layout, from its figures typed bare or with their
// units, read every other stock of that layout exactly, and nothing wrong on any other layout,
// the same site's older one among them.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "common/codepage.h"
#include "market.h"
#include "pages.h"
#include "quote_host.h"
#include "reading/figure_match.h"
#include "reading/rule_suggest.h"

namespace tickora {
namespace {

namespace host = quotehost;

// What a person reads on the layouts that have no helper of their own: the market's figures,
// every price with a decimal on the minified one.
host::ShownQuote FromMarket(std::string_view symbol, const host::MarketClock& clock, bool decimal) {
    const host::Quote q = host::Market::QuoteOf(*host::Market::Find(symbol), clock);
    const bool addDecimal = decimal && q.price.find('.') == std::string::npos;
    host::ShownQuote shown;
    shown.plain = {q.name, q.time, q.price + (addDecimal ? ".0" : ""), q.change, q.ratio, q.volume};
    shown.withUnits = shown.plain;
    return shown;
}
host::ShownQuote ModuleShown(std::string_view symbol, const host::MarketClock& clock) {
    return FromMarket(symbol, clock, true);
}
host::ShownQuote ScriptShown(std::string_view symbol, const host::MarketClock& clock) {
    return FromMarket(symbol, clock, false);
}

struct Layout {
    const char* name;
    host::QuotePageFn page;
    host::ShownQuoteFn shown;
    bool noTrades;  // it serves stocks without trades today
};

std::vector<Layout> Layouts() {
    std::vector<Layout> layouts = {{"/v2", host::ModernQuotePage, host::ModernShown, false},
                                   {"/v3/table", host::TableQuotePage, host::TableShown, false},
                                   {"/v3/module", host::ModuleQuotePage, ModuleShown, false},
                                   {"/v3/script", host::ScriptQuotePage, ScriptShown, false}};
    for (const host::PageLayout& l : host::V4Layouts())
        layouts.push_back({l.path.data(), l.page, l.shown, true});
    return layouts;
}

// A rising, a falling and an unchanged stock, and an index; "8300.t" has no trades.
constexpr const char* kLearnFrom[] = {"8058.t", "7203.t", "6750.t"};
constexpr const char* kReadOn[] = {"8058.t", "7203.t", "6750.t", "4611.q", "998407", "8300.t"};

FigureTexts Typed(const host::ShownQuote& shown, bool withUnits) {
    FigureTexts values;
    for (int f = 0; f < kFigureCount; ++f)
        values[f] = Utf8ToCp932(withUnits ? shown.withUnits[f] : shown.plain[f]);
    return values;
}

// Every page of every layout, parsed once, with what a person reads on it.
struct Sample {
    const Layout* layout;
    const char* symbol;
    std::shared_ptr<const ParsedPage> page;
    host::ShownQuote shown;
};

std::vector<Sample> Samples(const std::vector<Layout>& layouts) {
    std::vector<Sample> samples;
    for (const Layout& layout : layouts)
        for (const char* symbol : kReadOn)
            if (layout.noTrades || std::string_view(symbol) != "8300.t")
                samples.push_back(
                    {&layout, symbol,
                     std::make_shared<const ParsedPage>(layout.page(symbol, test::kHostClock)),
                     layout.shown(symbol, test::kHostClock)});
    return samples;
}

// Figures the rules read otherwise than the page shows them: "price read "x", shown "y"".
std::vector<std::string> Wrong(const PageRules& rules, const Sample& sample, bool everyFigure) {
    const RuleReading read = rules.Read(*sample.page);
    std::vector<std::string> wrong;
    for (int f = 0; f < kFigureCount; ++f) {
        const std::string value = Cp932ToUtf8(read[f].value);
        // "---" of a stock without trades is read as the page shows it, or not at all.
        const std::string plain = NormalizeFigure(sample.shown.plain[f]);
        const bool noFigure = !OfItsKind(KindOf(f), plain);
        if (read[f].found ? ReadsAsTyped(KindOf(f), plain, value) || (noFigure && value == plain)
                          : (!everyFigure || noFigure))
            continue;
        wrong.push_back(std::string(FigureName(f)) + " read \"" + value + "\", shown \"" + plain +
                        "\" on " + sample.symbol + " (" + sample.layout->name + ")");
    }
    return wrong;
}

TEST(SuggestLayouts, RulesFromOneStockReadEveryStockOfItsLayoutAndNothingWrongElsewhere) {
    const std::vector<Layout> layouts = Layouts();
    const std::vector<Sample> samples = Samples(layouts);
    for (const Sample& learn : samples) {
        if (std::find(std::begin(kLearnFrom), std::end(kLearnFrom), learn.symbol) ==
            std::end(kLearnFrom))
            continue;
        for (const bool withUnits : {false, true}) {
            SCOPED_TRACE(std::string(learn.layout->name) + " " + learn.symbol +
                         (withUnits ? " units" : ""));
            const RuleSuggestion s = SuggestRules(*learn.page, Typed(learn.shown, withUnits));
            for (int f = 0; f < kFigureCount; ++f)
                EXPECT_NE(s.figures[f].rule, "")
                    << FigureName(f) << " " << static_cast<int>(s.figures[f].miss);
            const PageRules rules(s.Rules());
            for (const Sample& other : samples)
                for (const std::string& w : Wrong(rules, other, other.layout == learn.layout))
                    ADD_FAILURE() << w;
        }
    }
}

// One figure's rule on a small page: the first stable anchor, whatever the page puts first.
TEST(SuggestRules, AnchorsStayTheSameFromStockToStockAndFiguresOfEverySignAreFound) {
    const struct {
        const char* what;
        std::string page;
        int figure;
        const char* typed;
        const char* unstable;  // what the rule must not name
    } cases[] = {
        {"a class that names the direction in one of its words",
         "<span class='change--up board-price'>1,234</span>", kPriceFigure, "1,234", "--up"},
        {"a class with a build hash of four characters",
         "<span class='Board__price__1V0k'>1,234</span>", kPriceFigure, "1,234", "1V0k"},
        {"a change that fell", "<dl><dt>前日比</dt><dd>-8</dd></dl>", kChangeFigure, "-8", "8"},
        {"a label that holds the day's date", "<dl><dt>株価(08/04)</dt><dd id=p>1,234</dd></dl>",
         kPriceFigure, "1,234", "08/04"},
        {"a market summary that carries the label before the quote",
         "<table><tr><th>出来高</th><td>7,000</td></tr></table><div id=quote><b>1,234</b>"
         "<table><tr><th>出来高</th><td>5,000</td></tr></table></div>",
         kVolumeFigure, "5,000", "7,000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FigureTexts values;
        values[c.figure] = Utf8ToCp932(c.typed);
        if (c.figure != kPriceFigure) values[kPriceFigure] = "1,234";
        const ParsedPage page("<meta charset=utf-8><b>1,234</b>" + c.page);
        const FigureRule r = SuggestRules(page, values).figures[c.figure];
        EXPECT_EQ(r.rule.find(c.unstable), std::string::npos) << r.rule;
        FigureTexts rules;
        rules[c.figure] = r.rule;
        EXPECT_EQ(Cp932ToUtf8(PageRules(rules).Read(page)[c.figure].value), c.typed) << r.rule;
    }
}

TEST(SuggestRules, ASecondStocksPageRulesOutAPlaceThatHeldTheFigureByChance) {
    // On the test stock's page the price equals the reference price, which stands among the
    // other figures; on the second stock's it does not.
    const auto board = [](const char* price, const char* reference) {
        return "<meta charset=utf-8><div class=board><div class=big>" + std::string(price) +
               "</div><dl><dt>参考値</dt><dd>" + reference +
               "</dd><dt>出来高</dt><dd>5,000</dd>"
               "</dl></div>";
    };
    const ParsedPage test(board("1,234", "1,234")), second(board("1,300", "1,234"));
    FigureTexts values, secondValues;
    values[kPriceFigure] = "1,234";
    values[kVolumeFigure] = "5,000";
    secondValues[kPriceFigure] = "1,300";
    const FigureRule alone = SuggestRules(test, values).figures[kPriceFigure];
    const FigureRule learnt =
        SuggestRules(test, values, {&second, secondValues}).figures[kPriceFigure];
    FigureTexts rules;
    rules[kPriceFigure] = learnt.rule;
    EXPECT_EQ(PageRules(rules).Read(second)[kPriceFigure].value, "1,300") << learnt.rule;
    EXPECT_TRUE(learnt.changedBySecond);
    EXPECT_NE(alone.rule, learnt.rule);
}

}  // namespace
}  // namespace tickora
