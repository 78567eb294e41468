#pragma once
#include <array>
#include <string>
#include <string_view>

#include "quotes/extraction_pattern.h"

namespace tickora {

// The six fields of a quote, in QuoteResult order: name, time, value, change, ratio, volume.
using QuoteFields = std::array<std::string, 6>;

// Cuts the six fields out of a page: 'F1_F2_F3_F4_F5_F6_', or empty when the anchor or
// any field is missing. Pages that do not mention "Shift_JIS" get their name converted
// from EUC-JP and the minus rule applied to every field.
std::string ExtractFields(std::string_view page, const PatternTable& patterns);

// EUC-JP to Shift_JIS, byte by byte. A 0x8E or 0xA1-0xFE standing as the very last
// byte has no partner; it is copied unchanged, so that the caller's final byte-drop
// removes exactly that byte.
std::string EucJpToShiftJis(std::string_view text);

// "例外が発生しました。\r\nエラー: " (CP932): how the result of a failed fetch begins.
const std::string& FetchErrorHead();

// Splits a QuoteResult at '_' into its six fields; missing fields are empty, and the result
// of a failed fetch gives six empty fields whatever its message says.
QuoteFields SplitQuoteResult(std::string_view result);

// "△ " for a ratio holding '+', else "▼ " for one holding '-', else "－ " (CP932).
const std::string& RiseFallMark(std::string_view ratio);

// The three marks, for code that compares against them.
const std::string& RiseMark();
const std::string& FallMark();
const std::string& FlatMark();

}  // namespace tickora
