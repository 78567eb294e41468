#pragma once
// Writing the seven patterns for a page: given the six texts a user reads on it, find the
// anchor and the delimiters around each text that make the program cut exactly those texts.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/figures.h"
#include "common/sjis.h"
#include "reading/extraction_pattern.h"

namespace tickora {

// Why no patterns were found.
enum class PatternMiss {
    kFound,
    kEmptyValue,         // the figure was not typed, and every field cuts at least one byte
    kNotInPage,          // the figure is not in the page
    kPastReadPieces,     // it stands only past the 202nd piece (at; the read page ends at readEnd)
    kTooNearStart,       // the name stands too close to the start of the page
    kOutOfOrder,         // the figure does not stand after the one before it
    kLineEndFollows,     // a line end follows the figure, and a pattern cannot hold one
    kNoSuffix,           // nothing after it on its line ends it without also standing inside it
    kFollowsUnderscore,  // it follows a '_', and a field's prefix cannot hold one
    kNoDelimiter,        // it has no delimiter before it on its line
    kNotFirst,           // no delimiter before it is found first where it stands
    kNotExact,           // the patterns found do not cut exactly these figures
    kNotExactEucJp,      // the same, on a page read as EUC-JP
};
struct PatternProblem {
    PatternMiss miss = PatternMiss::kFound;
    int figure = -1;
    Offset at = kNone;
    Offset readEnd = kNone;
};

struct PatternSuggestion {
    PatternTexts texts;                    // CP932, as the ini holds them
    std::vector<PatternProblem> problems;  // why none were found; empty when they were
    bool Found() const { return problems.empty(); }
};

// page: the text the program reads (CP932, at most 202 pieces); whole: the text of the whole
// body, to tell a value that stands only past the last read piece. The delimiters come from
// the markup around each value, never from the value, so that the patterns also cut another
// page of the same layout; they are checked by running the program's own extraction.
PatternSuggestion SuggestPatterns(std::string_view page, std::string_view whole,
                                  const FigureTexts& values, bool readAsShiftJis);

}  // namespace tickora
