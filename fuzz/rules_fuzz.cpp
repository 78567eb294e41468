// Any page read by any page rules from a hand-edited settings file: no crash, no hang, and a
// result that is empty or six figures each followed by '_'. Rules suggested from the page for
// the figures read must read the same figures again, as a reader compares figures.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/codepage.h"
#include "reading/extract.h"
#include "reading/figure_match.h"
#include "reading/page_rules.h"
#include "reading/rule_suggest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Six NUL-ended rule texts, then the page; without six, a rule reading the first <b>.
    tickora::FigureTexts rules;
    std::size_t pos = 0;
    int given = 0;
    for (auto& rule : rules) {
        const auto end = input.find('\0', pos);
        if (end == std::string_view::npos) break;
        rule = std::string(input.substr(pos, end - pos));
        pos = end + 1;
        ++given;
    }
    if (given < tickora::kFigureCount) {
        rules = {};
        rules[tickora::kPriceFigure] = "//b ~ ([\\d,.]+)";
        pos = 0;
    }
    const std::string_view page = input.substr(pos);
    const tickora::PageRules compiled(rules);
    const std::string result = tickora::QuoteOfPageByRules(page, page.substr(0, 40), compiled);
    if (!result.empty() && result.back() != '_') std::abort();
    if (!result.empty() && tickora::SplitQuoteResult(result)[2].empty()) std::abort();

    // Suggestions for the figures the rules read are checked on the page they came from.
    const tickora::ParsedPage parsed(tickora::PageUtf8(page, page.substr(0, 40)));
    const tickora::FigureTexts read = tickora::SplitQuoteResult(result);
    tickora::FigureTexts values;
    for (int f = 0; f < 6; ++f) values[f] = read[f];
    const tickora::RuleSuggestion s = tickora::SuggestRules(parsed, values);
    const tickora::RuleReading again = tickora::PageRules(s.Rules()).Read(parsed);
    for (int f = 0; f < 6; ++f) {
        if (s.figures[f].rule.empty()) continue;
        // The figure as typed, its unit or '+' aside: the rule reads it as the page shows it.
        const std::string typed = tickora::NormalizeFigure(tickora::Cp932ToUtf8(read[f]));
        if (!again[f].found ||
            !tickora::ReadsAsTyped(tickora::KindOf(f), typed, tickora::Cp932ToUtf8(again[f].value)))
            std::abort();
    }
    return 0;
}
