// Rules suggested on one stock's page of a layout, from its figures typed bare or with their
// units, read every other stock of that layout exactly, and nothing wrong on any other layout,
// the same site's older one among them.

#include <gtest/gtest.h>

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

// Figures the rules read otherwise than the page shows them: "price read "x", shown "y"".
std::vector<std::string> Wrong(const FigureTexts& rules, const Layout& layout, const char* symbol,
                               bool everyFigure) {
    const PageRules compiled(rules);
    const host::ShownQuote shown = layout.shown(symbol, test::kHostClock);
    const RuleReading read = compiled.Read(ParsedPage(layout.page(symbol, test::kHostClock)));
    std::vector<std::string> wrong;
    for (int f = 0; f < kFigureCount; ++f) {
        const std::string value = Cp932ToUtf8(read[f].value);
        // "---" of a stock without trades is read as the page shows it, or not at all.
        const std::string plain = NormalizeFigure(shown.plain[f]);
        const bool noFigure = !OfItsKind(KindOf(f), plain);
        if (read[f].found ? ReadsAsTyped(KindOf(f), plain, value) || (noFigure && value == plain)
                          : (!everyFigure || noFigure))
            continue;
        wrong.push_back(std::string(FigureName(f)) + " read \"" + value + "\", shown \"" +
                        shown.plain[f] + "\" on " + symbol);
    }
    return wrong;
}

TEST(SuggestLayouts, RulesFromOneStockReadEveryStockOfItsLayoutAndNothingWrongElsewhere) {
    const std::vector<Layout> layouts = Layouts();
    for (const Layout& layout : layouts)
        for (const char* learn : kLearnFrom)
            for (const bool withUnits : {false, true}) {
                SCOPED_TRACE(std::string(layout.name) + " " + learn + (withUnits ? " units" : ""));
                const RuleSuggestion s =
                    SuggestRules(ParsedPage(layout.page(learn, test::kHostClock)),
                                 Typed(layout.shown(learn, test::kHostClock), withUnits));
                for (int f = 0; f < kFigureCount; ++f)
                    EXPECT_NE(s.figures[f].rule, "")
                        << FigureName(f) << " " << static_cast<int>(s.figures[f].miss);
                for (const Layout& other : layouts)
                    for (const char* symbol : kReadOn) {
                        if (!other.noTrades && std::string_view(symbol) == "8300.t") continue;
                        for (const std::string& w :
                             Wrong(s.Rules(), other, symbol, &other == &layout))
                            ADD_FAILURE() << w << " (" << other.name << ")";
                    }
            }
}

}  // namespace
}  // namespace tickora
