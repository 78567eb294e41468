#pragma once
// Writing page rules for a page from the figures a user reads on it. A rule anchors on what
// stays the same for every stock of a site: an element id, a label beside the figure, the
// stable part of a class name, a heading; never on markup that names the direction, never on
// a build hash, a position in a list or the figure itself. Each rule is checked on the page.

#include <algorithm>
#include <array>
#include <string>

#include "reading/page_rules.h"
#include "reading/pattern_suggest.h"

namespace tickora {

struct RuleSuggestion {
    FigureTexts rules;               // CP932; empty where no value was given or none was found
    std::array<std::string, 6> why;  // UTF-8: why a figure with a value got no rule
    // The rules read the page: the price has one.
    bool Found() const { return !rules[kPriceFigure].empty(); }
    // Every value given has its rule.
    bool Complete() const {
        return Found() && std::all_of(why.begin(), why.end(), [](auto& w) { return w.empty(); });
    }
};

// values: CP932, in figure order; an empty value is a figure the page does not show.
RuleSuggestion SuggestRules(const ParsedPage& page, const FigureTexts& values);

// Which figures the rules read differently from values on a page (UTF-8 lines, one a figure,
// "name: found "x", expected "y""); empty when every given value is read as given.
std::string CheckRules(const PageRules& rules, const ParsedPage& page, const FigureTexts& values);

}  // namespace tickora
