#pragma once
// Writing page rules for a page from the figures a user reads on it. A rule anchors on what
// stays the same for every stock of a site: an element id, a label beside the figure, the
// stable part of a class name, a heading; never on markup that names the direction, never on
// a build hash, a position in a list or the figure itself. Each rule is checked on the page.

#include <array>
#include <string>
#include <vector>

#include "common/figures.h"
#include "reading/page_rules.h"

namespace tickora {

// What a rule's path starts from.
enum class AnchorKind { kNoAnchor, kId, kClass, kLabel, kHeading, kScript };

// Why a figure got no rule, or why a candidate path was turned down.
enum class SuggestMiss {
    kRuled,
    kNoValue,          // no figure was typed: it is left without a rule on purpose
    kNoHtml,           // the page holds no HTML
    kNotInPage,        // the figure stands nowhere in the page's text
    kNoStableAnchor,   // it stands only where no id, class, label or heading leads
    kNotFirst,         // the path gives an element before the figure's first
    kReadsOther,       // the path, run as the program runs it, reads another text
    kWrongOnSecond,    // on the second stock's page it reads no figure of its kind
    kDiffersOnSecond,  // on the second stock's page it does not read the figure typed for it
    // Anchors turned down.
    kNamesDirection,  // a class or id that names the direction of the day's move
    kBuildHash,       // an id that is a build's hash
    kHoldsFigures,    // a name or label that holds digits: the stock's code, a date, a figure
};

// A candidate path turned down, and why.
struct Rejection {
    std::string path;  // UTF-8
    SuggestMiss why = SuggestMiss::kRuled;
};

struct FigureRule {
    std::string rule;  // CP932; empty when the figure got none
    AnchorKind anchor = AnchorKind::kNoAnchor;
    int matches = 0;  // elements the rule's path matches on the page
    SuggestMiss miss = SuggestMiss::kRuled;
    std::vector<Rejection> rejected;  // the first few candidates turned down
    bool changedBySecond = false;     // the second page ruled out the first choice
};

struct RuleSuggestion {
    std::array<FigureRule, kFigureCount> figures;

    FigureTexts Rules() const;
    // The rules read the page: the price has one.
    bool Found() const { return !figures[kPriceFigure].rule.empty(); }
    // Every figure typed has its rule.
    bool Complete() const;
};

// A second stock's page of the same layout, to learn from; values may be empty, or the
// figures typed for it (CP932).
struct SecondPage {
    const ParsedPage* page = nullptr;
    FigureTexts values;
};

// values: CP932, in figure order; an empty value is a figure the page does not show.
RuleSuggestion SuggestRules(const ParsedPage& page, const FigureTexts& values,
                            const SecondPage& second = {});

// A figure the rules read otherwise than expected on a page.
struct Mismatch {
    int figure = 0;
    std::string expected;  // UTF-8, made as a figure is
    FigureRead read;
};
// The figures with a value that the rules do not read as given; empty when all are.
std::vector<Mismatch> CheckRules(const PageRules& rules, const ParsedPage& page,
                                 const FigureTexts& values);

}  // namespace tickora
