#include "quotes/extract.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "quotes/extraction_pattern.h"

namespace tickora {
namespace {

const std::string kSjisHead = "<meta charset=Shift_JIS>\n";

std::string Row(const std::string& name, const std::string& change, const std::string& ratio) {
    return "</tr><tr align=right><td><small>" + name +
           "</small></td><td nowrap align=center>15:00</td><td nowrap><b>1,234</b></td>"
           "<td nowrap>" +
           change + "</td><td nowrap>" + ratio + "</td><td nowrap>123,000</td>\n";
}

TEST(SplitPattern, SeparatorRules) {
    const struct {
        const char* text;
        bool anchor;
        ExtractionPattern expected;
    } cases[] = {
        {"[x]_<b>_</b>", false, {"[x]", "<b>", "</b>"}},
        {"[x]_<b>_</b>_tail", false, {"[x]", "<b>", "</b>_tail"}},
        {"no separator", false, {"", "", "no separator"}},
        {"[x]_one", false, {"[x]", "", "[x]_one"}},
        {"__", false, {"", "", ""}},
        {"[key]_</tr><tr_align>", true, {"[key]", "</tr><tr_align>", ""}},
        {"anchor without", true, {"", "anchor without", ""}},
        {"", false, {"", "", ""}},
    };
    for (const auto& c : cases) {
        const ExtractionPattern p =
            c.anchor ? SplitAnchorPattern(c.text) : SplitFieldPattern(c.text);
        EXPECT_EQ(p, c.expected) << c.text;
    }
}

TEST(ExtractFields, Pages) {
    const std::string name = Sj("東西精機");
    const struct {
        const char* what;
        std::string page;
        std::string expected;
    } cases[] = {
        {"the default row", kSjisHead + Row("NAME", "+12", "+0.98%"),
         "NAME_15:00_1,234_+12_+0.98%_123,000_"},
        {"double-byte name on a Shift_JIS page", kSjisHead + Row(name, "-8", "-0.40%"),
         name + "_15:00_1,234_-8_-0.40%_123,000_"},
        {"no anchor", kSjisHead + "<small>x</small>", ""},
        {"anchor but a field missing",
         kSjisHead + "</tr><tr align=right><small>N</small><td nowrap align=center>1</td>", ""},
        {"fields out of order",
         kSjisHead + "<small>N</small></tr><tr align=right><td nowrap align=center>1</td>"
                     "<td nowrap><b>2</b></td><td nowrap>3</td><td nowrap>4</td><td nowrap>5</td>",
         ""},
        // An empty cell swallows markup up to the next suffix; later fields move on.
        {"empty change cell",
         kSjisHead + "</tr><tr align=right><small>N</small><td nowrap align=center>T</td>"
                     "<td nowrap><b>9</b></td><td nowrap></td><td nowrap>+1%</td>"
                     "<td nowrap>77</td><td nowrap>88</td>",
         "N_T_9_</td><td nowrap>+1%_77_88_"},
        // Not marked Shift_JIS: the minus rule applies to every field.
        {"minus rule in a font tag", Row("N", "<font color=red>-12</font>", "<b>-1.0%</b>"),
         "N_15:00_1,234_-12_-1.0%_123,000_"},
        {"minus without '<' after it", Row("N", "-12", "-"), "N_15:00_1,234_0_0_123,000_"},
        {"lower-case shift_jis is not a mark",
         "<meta charset=shift_jis>" + Row("N", "<i>-3</i>", "+1%"),
         "N_15:00_1,234_-3_+1%_123,000_"},
        {"Shift_JIS anywhere on the page counts",
         Row("N", "<i>-3</i>", "+1%") + "<!-- Shift_JIS -->",
         "N_15:00_1,234_<i>-3</i>_+1%_123,000_"},
        // EUC-JP name: 0xB0 0xA1 (亜) and half-width ｱ (0x8E 0xB1) become CP932 bytes.
        {"EUC-JP name", Row("\xB0\xA1\x8E\xB1", "+1", "+1%"),
         "\x88\x9F\xB1_15:00_1,234_+1_+1%_123,000_"},
        {"EUC bytes outside JIS give zero bytes", Row("\xA1\xA0", "+1", "+1%"),
         std::string("\0\0", 2) + "_15:00_1,234_+1_+1%_123,000_"},
        {"CR in a pattern never matches; CRs never reach the page",
         kSjisHead + Row("N", "+1", "+1%"), "N_15:00_1,234_+1_+1%_123,000_"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractFields(c.page, DefaultPatterns()), c.expected) << c.what;
}

TEST(ExtractFields, FieldSearchStartsOneByteOn) {
    // Patterns without separators: empty prefix found at the search start, the whole text
    // is the suffix; every field is at least one byte long.
    std::array<std::string, kPatternCount> texts = {"[key]_A", "x", "x", "x", "x", "x", "x"};
    const PatternTable p = MakePatternTable(texts);
    EXPECT_EQ(p[1].prefix, "");
    EXPECT_EQ(p[1].suffix, "x");
    // Each field is searched from one byte after the previous suffix and is at least
    // one byte long, so "xx" yields the field "x" and the others move on.
    EXPECT_EQ(ExtractFields("A1x2x3x4x5x6x Shift_JIS", p), "1_2_3_4_5_6_");
    EXPECT_EQ(ExtractFields("Axx1x2x3x4x5x Shift_JIS", p), "x_1_2_3_4_5_");
    EXPECT_EQ(ExtractFields("Axx1x2x3x4x5 Shift_JIS", p), "");
}

TEST(EucJpToShiftJis, Conversion) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"abc<", "abc<"},
        {"\xB0\xA1", "\x88\x9F"},  // 亜
        {"\xA4\xA2", "\x82\xA0"},  // あ
        {"\xF4\xA6", "\xEA\xA4"},  // 熙, last row of JIS X 0208
        {"\x8E\xB1", "\xB1"},      // half-width katakana
        {"\xA1\xA0", std::string("\0\0", 2)},
        {"\xFE\xFE", "\xEF\xFC"},  // JIS 0x7E7E, the last cell
        {"\xFE\xA0", std::string("\0\0", 2)},
        {"a\xB0", "a\xB0"},  // a trailing lead byte is copied unchanged
        {"a\x8E", "a\x8E"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(EucJpToShiftJis(c.in), c.out);
    // The whole JIS X 0208 table converts as CP932 decodes it back.
    EXPECT_EQ(Cp932ToUtf8(EucJpToShiftJis("\xC6\xFC\xCB\xDC")), "日本");
}

TEST(SplitQuoteResult, Fields) {
    using F = QuoteFields;
    EXPECT_EQ(SplitQuoteResult("A_B_C_D_E_F_"), (F{"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(SplitQuoteResult(""), F{});
    EXPECT_EQ(SplitQuoteResult(Sj("例外が発生しました。\r\nエラー: 7\r\nrefused")), F{});
    EXPECT_EQ(SplitQuoteResult("A_B_"), (F{"A", "B", "", "", "", ""}));
    EXPECT_EQ(SplitQuoteResult("A__C_D_E_F_G_"), (F{"A", "", "C", "D", "E", "F"}));
    // A field holding '_' shifts every later one.
    EXPECT_EQ(SplitQuoteResult("A_x_B_C_D_E_F_"), (F{"A", "x", "B", "C", "D", "E"}));
}

TEST(RiseFallMark, ByRatioSign) {
    EXPECT_EQ(RiseFallMark("+0.5%"), Sj("△ "));
    EXPECT_EQ(RiseFallMark("-0.5%"), Sj("▼ "));
    EXPECT_EQ(RiseFallMark("0.00%"), Sj("－ "));
    EXPECT_EQ(RiseFallMark(""), Sj("－ "));
    EXPECT_EQ(RiseFallMark("+-"), Sj("△ "));
    EXPECT_EQ(RiseFallMark("\x81-"), Sj("－ "));  // '-' as a second byte is no sign
    EXPECT_EQ(RiseFallMark("x").size(), 3u);
}

}  // namespace
}  // namespace tickora
