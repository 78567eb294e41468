#include "reading/extraction_pattern.h"

#include "common/codepage.h"
#include "common/figures.h"
#include "common/sjis.h"

namespace tickora {

namespace {
// p1 = first '_', p2 = first '_' after it; kNone where absent. The cuts below use the
// clamping Cut so that missing separators give empty parts.
struct Separators {
    Offset p1;
    Offset p2;
};
Separators FindSeparators(std::string_view text) {
    const Offset p1 = Find(text, "_", 0);
    return {p1, Find(text, "_", p1 + 1)};
}
}  // namespace

ExtractionPattern SplitFieldPattern(std::string_view text) {
    const auto [p1, p2] = FindSeparators(text);
    return {Cut(text, 0, p1), Cut(text, p1 + 1, p2 - p1 - 1), Cut(text, p2 + 1)};
}

ExtractionPattern SplitAnchorPattern(std::string_view text) {
    const Offset p1 = Find(text, "_", 0);
    return {Cut(text, 0, p1), Cut(text, p1 + 1), {}};
}

const std::array<PatternDefault, kPatternCount>& DefaultPatternTexts() {
    static const std::array<PatternDefault, kPatternCount> table = {{
        {"key", Sj("[key]_</tr><tr align=right>")},
        {FigureKey(kNameFigure), Sj("[銘柄名]_<small>_</small>")},
        {FigureKey(kTimeFigure), Sj("[時間]_<td nowrap align=center>_</td>")},
        {FigureKey(kPriceFigure), Sj("[現在値]_<td nowrap><b>_</b></td>")},
        {FigureKey(kChangeFigure), Sj("[前日差]_<td nowrap>_</td>")},
        {FigureKey(kRatioFigure), Sj("[差割合]_<td nowrap>_</td>")},
        {FigureKey(kVolumeFigure), Sj("[出来高]_<td nowrap>_</td>")},
    }};
    return table;
}

PatternTable MakePatternTable(const std::array<std::string, kPatternCount>& texts) {
    PatternTable table;
    table[0] = SplitAnchorPattern(texts[0]);
    for (std::size_t i = 1; i < texts.size(); ++i) table[i] = SplitFieldPattern(texts[i]);
    return table;
}

const PatternTable& DefaultPatterns() {
    static const PatternTable table = [] {
        std::array<std::string, kPatternCount> texts;
        for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = DefaultPatternTexts()[i].text;
        return MakePatternTable(texts);
    }();
    return table;
}

}  // namespace tickora
