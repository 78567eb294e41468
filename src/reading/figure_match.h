#pragma once
// Figures as a reader compares them. A figure typed by a user stands where the page shows the
// same number, whatever the unit, the '+' of a rise, the width of the digits or the thousands
// separators; a time or a date where the page shows its digits as written; a name where the
// page shows it with the same width and blanks. Texts are UTF-8, made as figures are
// (NormalizeFigure): ASCII digits and signs, no blank inside a number.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tickora {

enum class FigureKind { kName, kTime, kNumber };
// The name is a name, the time a time or a date, the other four numbers.
FigureKind KindOf(int figure);

// Where a figure stands in a text, its unit included.
struct Span {
    std::size_t at = 0, size = 0;
    std::size_t End() const { return at + size; }
};

// The figures of a kind in text, in order. A number is a sign, digits with their separators,
// decimals and a unit right after it (% 円 株 倍); a time or date is digit groups joined by ':'
// or '/', or a year, month and day joined by '-'; no number stands inside a time or date. A
// name is the whole text, and each part of it between blanks and brackets.
std::vector<Span> FigureSpans(FigureKind kind, std::string_view text);

// A typed figure, parsed once, to be looked for in many texts.
class FigureMatcher {
  public:
    FigureMatcher(FigureKind kind, std::string_view typed);

    // Whether a figure shown on the page shows the typed one.
    bool Matches(std::string_view shown) const;
    // The places in text that show it; spans: FigureSpans(kind, text), when known already.
    std::vector<Span> In(std::string_view text) const;
    std::vector<Span> In(std::string_view text, const std::vector<Span>& spans) const;

  private:
    FigureKind kind_;
    std::string figure_;  // the one figure of the typed text, or all of it
    bool number_ = false;
    char sign_ = 0;
    std::string whole_, decimals_;
    std::string folded_;  // a name, or a typed text that holds no one figure
};

// Whether the figure at span in text shows what was typed (both UTF-8, made as figures are).
bool SameFigure(FigureKind kind, std::string_view typed, std::string_view shown);

// The places in text that show typed.
std::vector<Span> Occurrences(FigureKind kind, std::string_view typed, std::string_view text);

// Whether text, all of it, is one figure of the kind: what a column of that figure may show.
bool OfItsKind(FigureKind kind, std::string_view text);

// Whether text, all of it, is the figure typed.
bool ReadsAsTyped(FigureKind kind, std::string_view typed, std::string_view text);

// A name as compared: full-width letters and signs made ASCII, half-width kana made full-width,
// runs of blanks one blank, the ends trimmed.
std::string FoldName(std::string_view utf8);

}  // namespace tickora
