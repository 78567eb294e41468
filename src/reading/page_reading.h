#pragma once
#include <memory>

#include "reading/extraction_pattern.h"
#include "reading/page_rules.h"

namespace tickora {

// How the program reads its quote pages: by the seven patterns, or by the page rules once
// the price has a rule. The rules are compiled once, for every page read with this value;
// one value serves one thread.
struct PageReading {
    PageReading() = default;
    // A reading by these patterns, and no rules.
    PageReading(const PatternTable& table)  // NOLINT(google-explicit-constructor)
        : patterns(table) {}
    PageReading(const PatternTexts& patternTexts, const FigureTexts& ruleTexts)
        : patterns(MakePatternTable(patternTexts)) {
        if (UsesRules(ruleTexts)) rules = std::make_shared<const PageRules>(ruleTexts);
    }

    bool ByRules() const { return rules != nullptr; }

    PatternTable patterns = DefaultPatterns();
    std::shared_ptr<const PageRules> rules;
};

}  // namespace tickora
