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

const char* PatternKey(int pattern) {
    return pattern == 0 ? "key" : FigureKey(pattern - 1);
}

const PatternTexts& DefaultPatternTexts() {
    static const PatternTexts texts = {
        Sj("[key]_</tr><tr align=right>"),
        Sj("[銘柄名]_<small>_</small>"),
        Sj("[時間]_<td nowrap align=center>_</td>"),
        Sj("[現在値]_<td nowrap><b>_</b></td>"),
        Sj("[前日差]_<td nowrap>_</td>"),
        Sj("[差割合]_<td nowrap>_</td>"),
        Sj("[出来高]_<td nowrap>_</td>"),
    };
    return texts;
}

PatternTable MakePatternTable(const PatternTexts& texts) {
    PatternTable table;
    table[0] = SplitAnchorPattern(texts[0]);
    for (std::size_t i = 1; i < texts.size(); ++i) table[i] = SplitFieldPattern(texts[i]);
    return table;
}

const PatternTable& DefaultPatterns() {
    static const PatternTable table = MakePatternTable(DefaultPatternTexts());
    return table;
}

}  // namespace tickora
