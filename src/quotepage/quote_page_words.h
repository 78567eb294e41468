#pragma once
// The quote-page core's results in the dialog's words: Japanese sentences (UTF-8), the
// technical detail, where there is one, after the sentence.

#include <string>

#include "quotepage/quote_page.h"

namespace tickora::words {

// "銘柄", "更新時", ... : the list's column title of a figure.
std::string FigureTitle(int figure);

// Why a page could not be had: "ページを取得できませんでした（接続できません）。詳細: ...".
std::string FetchFailed(const FetchFailure& failure);
// Why a figure was not read.
std::string MissSentence(Miss miss, const std::string& detail = {});
// A rule that does not compile.
std::string RuleErrorSentence(const RuleError& error);
// What each figure's rule or pattern found: the element and its text, or why not.
std::string HowRead(const Trial& trial, int figure, const PatternTexts& patterns);
// Why no patterns were found (figures as typed, CP932).
std::string PatternSentence(const PatternProblem& problem, const FigureTexts& values);
// Why a figure got no rule.
std::string SuggestMissSentence(SuggestMiss miss);
// What 提案 did with the settings.
std::string SuggestionSentence(const Suggestion& suggestion, const Adoption& adoption,
                               const FigureTexts& values);
// Whether the rules hold for the second stock, and what it read.
std::string CheckSentence(const Check& check);

}  // namespace tickora::words
