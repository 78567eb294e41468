#pragma once
// What tickora-probe prints: UTF-8 lines, every one that is not a result starting with "; ",
// so that the whole output can be pasted into base_data.ini.

#include <ostream>
#include <string>
#include <string_view>

#include "quotepage/quote_page.h"

namespace tickora::probe {

// URL or file, status, charset and how the page is read, pieces and bytes.
void PrintPageHead(std::ostream& out, const PageSample& page);

// Each pattern's text and where its prefix and suffix were found, with the page around the
// place, or where the search began and, when it stands past the read pieces, where it is.
void PrintSearches(std::ostream& out, const PageSample& page, const PatternTexts& texts,
                   const Trial& trial);

// name= ... mark= (or result=empty) of a QuoteResult; true when it is not empty.
bool PrintResult(std::ostream& out, const std::string& result);

// Each rule's text and what it read: the element found and its text with the figure in
// [[ ]], or why nothing was read.
void PrintRuleReading(std::ostream& out, const FigureTexts& texts, const Trial& trial);

// The rules suggested, each with its anchor and how many elements its path matches, or why
// none; the patterns, or why none.
void PrintSuggestion(std::ostream& out, const Suggestion& s, const FigureTexts& values);

// Every place where text (CP932) stands in the whole body; the count of places.
int PrintPlaces(std::ostream& out, const PageSample& page, std::string_view text);

}  // namespace tickora::probe
