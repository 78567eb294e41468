#pragma once
// Trying a quote page as the program would read it, for the quote-page dialog: one fetched
// copy of a stock's page, what the patterns or the rules make of it, figure by figure, its
// visible text, and suggestions made from that same copy.

#include <array>
#include <optional>
#include <string>

#include "common/quote.h"
#include "quotes/fetch.h"
#include "quotes/page_settings.h"
#include "reading/pattern_suggest.h"
#include "reading/rule_suggest.h"

namespace tickora {

// One stock's page as fetched once: everything the dialog shows and suggests from.
struct PageCopy {
    std::string url;    // CP932, as expanded
    std::string bytes;  // the body as sent, up to kMaxRulePageBytes
    ResponseInfo response;
    std::string error;  // the program's error text of a fetch that failed; empty otherwise
};

// GETs the page of code on market as a pass does (limits and cancel flag of options).
PageCopy FetchPageCopy(const PageSettings& settings, const std::string& code, int market,
                       const FetchOptions& options);

struct PageTrial {
    bool byRules = false;
    std::string result;          // the QuoteResult, as a pass gets it
    std::optional<Quote> quote;  // what a row shows; nullopt: the row keeps what it shows
    std::array<std::string, 6>
        how;  // UTF-8: what each figure's rule or pattern matched, or why not
};

// Reads the copy as the program reads pages with these settings.
PageTrial TryPage(const PageCopy& copy, const PageSettings& settings);

// The text a browser shows of the page, one line per block of text (UTF-8), and the contents of
// JSON scripts, where today's pages keep their figures.
std::string VisibleText(const PageCopy& copy);

struct PageSuggestion {
    RuleSuggestion rules;
    Suggestion patterns;
};
// Rules and patterns that read values (CP932) from this copy.
PageSuggestion SuggestForPage(const PageCopy& copy, const FigureTexts& values);

}  // namespace tickora
