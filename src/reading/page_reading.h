#pragma once
#include "reading/extraction_pattern.h"
#include "reading/page_rules.h"

namespace tickora {

// How the program reads its quote pages: by the seven patterns, or by the page rules once
// the price has a rule.
struct PageReading {
    PageReading() = default;
    // A reading by these patterns, and no rules.
    PageReading(const PatternTable& table)
        : patterns(table) {}  // NOLINT(google-explicit-constructor)

    bool ByRules() const { return UsesRules(rules); }

    PatternTable patterns = DefaultPatterns();
    FigureTexts rules;
};

}  // namespace tickora
