#pragma once
// The quote-page core's reasons in the probe's words: English, for a terminal.

#include <string>

#include "quotepage/quote_page.h"

namespace tickora::probe {

// Why a figure was not read ("the path finds no node (detail)").
std::string MissWords(Miss miss, const std::string& detail = {});
// Why no pattern was found, with the figures typed (CP932).
std::string PatternWords(const PatternProblem& problem, const FigureTexts& values);
// Why a figure got no rule, or a candidate was turned down.
std::string SuggestWords(SuggestMiss miss);
// "id", "class", "label", ...
const char* AnchorWords(AnchorKind kind);
// "found "x", expected "y"" or "nothing found (...), expected "y"".
std::string MismatchWords(const Mismatch& mismatch);

}  // namespace tickora::probe
