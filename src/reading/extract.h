#pragma once
#include <array>
#include <string>
#include <string_view>

#include "common/quote.h"
#include "common/sjis.h"
#include "reading/extraction_pattern.h"

namespace tickora {

// Where one pattern was looked for and found: the anchor has no suffix.
struct PatternSearch {
    Offset from = kNone;      // where the prefix search began
    Offset prefixAt = kNone;  // kNone: not found
    Offset suffixAt = kNone;  // kNone: not found (or not looked for)
};

// One run of the extraction, step by step, for a reader who wants to know why it failed.
struct Extraction {
    std::array<PatternSearch, kPatternCount> searches;  // [0] the anchor
    int failed = -1;     // the pattern not found; -1 when every one was
    std::string result;  // the QuoteResult; empty when a pattern was not found
};

// Cuts the six fields out of a page: 'F1_F2_F3_F4_F5_F6_', or empty when the anchor or any
// field is missing. A page not read as Shift_JIS gets its name converted from EUC-JP and the
// minus rule applied to every field.
Extraction TraceExtraction(std::string_view page, const PatternTable& patterns,
                           bool readAsShiftJis);
std::string ExtractFields(std::string_view page, const PatternTable& patterns, bool readAsShiftJis);
// The same, read as Shift_JIS when the page mentions "Shift_JIS" anywhere.
std::string ExtractFields(std::string_view page, const PatternTable& patterns);

// EUC-JP to Shift_JIS, byte by byte. A 0x8E or 0xA1-0xFE standing as the very last
// byte has no partner; it is copied unchanged, so that the caller's final byte-drop
// removes exactly that byte.
std::string EucJpToShiftJis(std::string_view text);

}  // namespace tickora
