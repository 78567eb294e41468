#pragma once
// Writing the seven patterns for a page: given the six texts a user reads on it, find the
// anchor and the delimiters around each text that make the program cut exactly those texts.

#include <array>
#include <string>
#include <string_view>

#include "common/figures.h"
#include "reading/extraction_pattern.h"

namespace tickora {

struct Suggestion {
    PatternTexts texts;  // CP932, table order, as the ini holds them
    std::string why;     // UTF-8; set when no patterns were found
    bool Found() const { return why.empty(); }
};

// page: the text the program reads (CP932, at most 202 pieces); whole: the text of the whole
// body, to tell a value that stands only past the last read piece. The delimiters come from
// the markup around each value, never from the value, so that the patterns also cut another
// page of the same layout; they are checked by running the program's own extraction.
Suggestion SuggestPatterns(std::string_view page, std::string_view whole, const FigureTexts& values,
                           bool readAsShiftJis);

}  // namespace tickora
