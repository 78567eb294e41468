#pragma once
// The quote-page core that the 株価ページ設定 dialog and tickora-probe share: one stock's page
// fetched and read once, tried as the program reads pages, rules and patterns suggested from
// it, a second stock checked, and the figure a double click picks. It answers with what
// happened and why, as values; each front end words them in its own language.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/quote.h"
#include "quotes/fetch.h"
#include "quotes/page_settings.h"
#include "reading/extract.h"
#include "reading/miss.h"
#include "reading/page_charset.h"
#include "reading/page_rules.h"
#include "reading/pattern_suggest.h"
#include "reading/rule_suggest.h"

namespace tickora {

// A transport failure: libcurl's code and words.
struct FetchFailure {
    int code = 0;
    std::string message;
};

// One page as fetched once, and read once on the thread that fetched it: everything the
// front ends show, try and suggest from.
struct PageSample {
    std::string source;  // the URL (CP932), or a file's path
    std::optional<FetchFailure> failure;
    ResponseInfo response;
    std::string bytes;  // the body as sent, up to kMaxRulePageBytes
    CharsetDeclaration declared;
    PageCoding coding = PageCoding::kEucJp;
    std::string text;  // CP932: what the patterns read, the first 202 pieces
    int pieces = 0;
    std::size_t pieceBytes = 0;  // body bytes those pieces were cut from
    std::string whole;           // CP932: every byte read alike, to find what stands past them
    std::shared_ptr<const ParsedPage> parsed;  // the bytes parsed for the rules
    std::string visible;  // UTF-8: the text a browser shows, one line a block, and JSON scripts

    bool BodyGoesOn() const { return bytes.size() > pieceBytes; }
};

// GETs url as a pass does (limits and cancel flag of options) and reads it.
PageSample FetchSample(const std::string& url, const FetchOptions& options);
// A page that is already at hand: a saved file, or a test's own.
PageSample SampleOf(std::string source, std::string bytes, ResponseInfo response = {});

// A page read as the program reads pages with some settings.
struct Trial {
    bool byRules = false;
    std::string result;          // the QuoteResult, as a pass gets it
    std::optional<Quote> quote;  // what a row shows; nullopt: the row keeps what it shows
    std::array<Miss, kFigureCount> misses{};  // why each figure was not read
    RuleReading rules;                        // by rules: what each rule found
    std::vector<RuleError> ruleErrors;
    Extraction patterns;  // by patterns: where each one was looked for and found
};
Trial TryPage(const PageSample& sample, const PageSettings& settings);

// Rules and patterns suggested from a page for the figures a user read on it (CP932).
struct Suggestion {
    RuleSuggestion rules;
    PatternSuggestion patterns;
};
// second: another stock's page of the same layout to learn from, or null; secondValues: the
// figures typed for it, or none.
Suggestion Suggest(const PageSample& sample, const FigureTexts& values,
                   const PageSample* second = nullptr, const FigureTexts& secondValues = {});

// The settings after a suggestion: rules only when every figure typed got one, patterns when
// they were found. Patterns read the pages only while no price rule is set, so adopting them
// without rules clears the rules, and says so.
struct Adoption {
    PageSettings settings;
    bool rules = false;
    bool patterns = false;
    bool rulesCleared = false;
};
Adoption Adopt(const PageSettings& current, const Suggestion& suggestion);

// Whether the settings read a second stock's page as they read the test stock's.
enum class Verdict {
    kHolds,        // every figure expected is read, and those typed as typed
    kPartly,       // the price is read, some other figure expected is not
    kDiffers,      // a figure typed for the second stock is read otherwise
    kNoPrice,      // the price is not read as a number
    kSamePage,     // it is the test stock's page again: same address or same name
    kFetchFailed,  // the second page could not be had
};
struct Check {
    Verdict verdict = Verdict::kHolds;
    Trial trial;                       // the second page as read
    std::vector<int> unread;           // figures expected but not read
    std::vector<Mismatch> mismatches;  // figures typed for it but read otherwise
};
Check CheckStock(const PageSample& test, const PageSample& second, const PageSettings& settings,
                 const FigureTexts& typed = {});

// The figure a double click at `at` picks from a line of the visible text: the word there,
// without the unit written after a figure ("4,785円" gives "4,785"). [from, to) in code units;
// empty when there is no word.
std::pair<std::size_t, std::size_t> FigureAt(std::u16string_view line, std::size_t at);

}  // namespace tickora
