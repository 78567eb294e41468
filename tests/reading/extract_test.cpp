#include "reading/extract.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "quotes/fetch.h"
#include "reading/extraction_pattern.h"
#include "reading/page_charset.h"
#include "reading/page_reader.h"

namespace tickora {
namespace {

const std::string kSjisHead = "<meta charset=Shift_JIS>\n";

std::string Row(const std::string& name, const std::string& change, const std::string& ratio) {
    return "</tr><tr align=right><td><small>" + name +
           "</small></td><td nowrap align=center>15:00</td><td nowrap><b>1,234</b></td>"
           "<td nowrap>" +
           change + "</td><td nowrap>" + ratio + "</td><td nowrap>123,000</td>\n";
}

TEST(PageReader, CutsTheBodyIntoAtMost202LinePiecesOfAtMost1023Bytes) {
    const std::string longLine(2500, 'x');
    const struct {
        const char* what;
        std::string body, page;
        int pieces;
    } cases[] = {
        {"lines, the last without LF", "a\nb", "a\nb", 2},
        {"CRs dropped", "a\r\nb\r\n\r", "a\nb\n", 3},
        {"long line in pieces of 1023", longLine + "\n", longLine + "\n", 3},
        {"a CR counts towards the 1023", std::string(1022, 'z') + "\rA\n",
         std::string(1022, 'z') + "A\n", 2},
        {"NUL ends a piece's text", std::string("ab\0cd\nef\n", 9), "abef\n", 2},
        {"empty body", "", "", 0},
        {"202 lines at most", std::string(300, '\n'), std::string(202, '\n'), 202},
        {"202 pieces at most", std::string(300 * 1023, 'y'), std::string(202 * 1023, 'y'), 202},
    };
    for (const auto& c : cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{100000}}) {
            SCOPED_TRACE(testing::Message() << c.what << ", chunks of " << chunk);
            PageReader r;
            for (std::size_t i = 0; i < c.body.size(); i += chunk)
                if (!r.Feed(std::string_view(c.body).substr(i, chunk))) break;
            EXPECT_EQ(r.Full(), c.pieces == 202);
            r.Finish();  // adds nothing to a full page
            EXPECT_EQ(r.Page(), c.page);
            EXPECT_EQ(r.Pieces(), c.pieces);
        }
    }
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
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.anchor ? SplitAnchorPattern(c.text) : SplitFieldPattern(c.text), c.expected)
            << c.text;
}

// A page is read by what it declares: a UTF-8 page is converted to CP932 and then read as
// Shift_JIS (no EUC-JP name, no minus rule); every other page as the older pages were.
TEST(QuoteOfPage, DeclarationDecidesHowAPageIsReadThenItsFieldsAreCut) {
    using C = PageCoding;
    const std::string name = "東西精機";  // UTF-8
    const std::string utf8Row = Row(name, "-12", "-0.98%");
    const std::string sjisRow = Row(Sj(name), "-12", "-0.98%");
    const std::string asRead = Sj(name) + "_15:00_1,234_-12_-0.98%_123,000_";
    const std::string minusRule = "N_15:00_1,234_0_0_123,000_";  // read as EUC-JP
    const struct {
        const char *what, *contentType;
        std::string page;
        PageCoding coding;
        std::string result;
    } cases[] = {
        {"header", "text/html; charset=utf-8", utf8Row, C::kUtf8, asRead},
        {"header, quoted, any case", "Text/HTML;Charset=\"UTF-8\"", utf8Row, C::kUtf8, asRead},
        {"meta charset", "text/html", "<meta charset=utf-8>\n" + utf8Row, C::kUtf8, asRead},
        {"meta http-equiv", "",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n" + utf8Row,
         C::kUtf8, asRead},
        {"meta, single quotes, utf8", "", "<meta charset='utf8' />\n" + utf8Row, C::kUtf8, asRead},
        {"a byte-order mark", "", "\xEF\xBB\xBF" + utf8Row, C::kUtf8, asRead},
        {"declared UTF-8 over a Shift_JIS mention", "text/html; charset=utf-8",
         "<meta charset=Shift_JIS>\n<script>var legacy = 'Shift_JIS';</script>\n" + utf8Row,
         C::kUtf8, asRead},
        {"the header over the meta", "text/html; charset=EUC-JP",
         "<meta charset=utf-8>\n" + Row("N", "-12", "-0.98%"), C::kEucJp, minusRule},
        {"Shift_JIS", "text/html", kSjisHead + sjisRow, C::kShiftJis, asRead},
        {"EUC-JP", "text/html; charset=EUC-JP",
         "<meta charset=EUC-JP>\n" + Row("\xC6\xFC", "-12", "-0.98%"), C::kEucJp,
         Sj("日") + minusRule.substr(1)},
        {"undeclared", "", Row("N", "-12", "-0.98%"), C::kEucJp, minusRule},
        {"'shift_jis' in lower case", "", "<meta charset=shift_jis>\n" + Row("N", "-12", "-0.98%"),
         C::kEucJp, minusRule},
        // How the fields are cut: none is searched for before the anchor; an empty cell
        // swallows markup up to the next suffix and later fields move on; the minus rule
        // applies to every field of a page not read as Shift_JIS.
        {"a field only before the anchor", "",
         kSjisHead + "<small>N</small></tr><tr align=right><td nowrap align=center>1</td>"
                     "<td nowrap><b>2</b></td><td nowrap>3</td><td nowrap>4</td><td nowrap>5</td>",
         C::kShiftJis, ""},
        {"empty change cell", "",
         kSjisHead + "</tr><tr align=right><small>N</small><td nowrap align=center>T</td>"
                     "<td nowrap><b>9</b></td><td nowrap></td><td nowrap>+1%</td>"
                     "<td nowrap>77</td><td nowrap>88</td>",
         C::kShiftJis, "N_T_9_</td><td nowrap>+1%_77_88_"},
        {"minus rule in a font tag", "", Row("N", "<font color=red>-12</font>", "<b>-1.0%</b>"),
         C::kEucJp, "N_15:00_1,234_-12_-1.0%_123,000_"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CodingOf(DeclaredCharset(c.contentType, c.page), c.page), c.coding);
        FetchedPage page;
        page.bytes = c.page;
        page.response.contentType = c.contentType;
        EXPECT_EQ(QuoteOfPage(page, DefaultPatterns()), c.result);
    }
}

TEST(ExtractFields, FieldSearchStartsOneByteOn) {
    // Patterns without separators: an empty prefix and the whole text as suffix. Each field
    // is searched from one byte after the previous suffix and is at least one byte long, so
    // "xx" yields the field "x" and the others move on.
    const PatternTable p = MakePatternTable({"[key]_A", "x", "x", "x", "x", "x", "x"});
    EXPECT_EQ(ExtractFields("A1x2x3x4x5x6x Shift_JIS", p), "1_2_3_4_5_6_");
    EXPECT_EQ(ExtractFields("Axx1x2x3x4x5x Shift_JIS", p), "x_1_2_3_4_5_");
    EXPECT_EQ(ExtractFields("Axx1x2x3x4x5 Shift_JIS", p), "");
}

TEST(EucJpToShiftJis, Conversion) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\xF4\xA6", "\xEA\xA4"},  // 熙, last row of JIS X 0208
        {"\x8E\xB1", "\xB1"},      // half-width katakana
        {"\xA1\xA0", std::string("\0\0", 2)},
        {"\xFE\xFE", "\xEF\xFC"},  // JIS 0x7E7E, the last cell
        {"a\xB0", "a\xB0"},        // a trailing lead byte is copied unchanged
        {"a\x8E", "a\x8E"},
    };
    for (const auto& c : cases) EXPECT_EQ(EucJpToShiftJis(c.in), c.out);
    // An odd and an even JIS row, as CP932 decodes them.
    EXPECT_EQ(Cp932ToUtf8(EucJpToShiftJis("\xC6\xFC\xCB\xDC")), "日本");
}

// A result's six fields, and the mark its ratio's sign gives.
TEST(QuoteResult, FieldsAndMark) {
    using F = FigureTexts;
    EXPECT_EQ(SplitQuoteResult("A_B_"), (F{"A", "B", "", "", "", ""}));
    EXPECT_EQ(SplitQuoteResult("A__C_D_E_F_G_"), (F{"A", "", "C", "D", "E", "F"}));
    // A field holding '_' shifts every later one.
    EXPECT_EQ(SplitQuoteResult("A_x_B_C_D_E_F_"), (F{"A", "x", "B", "C", "D", "E"}));
    EXPECT_EQ(RiseFallMark("+0.5%"), Sj("△ "));
    EXPECT_EQ(RiseFallMark("-0.5%"), Sj("▼ "));
    EXPECT_EQ(RiseFallMark("0.00%"), Sj("－ "));
    EXPECT_EQ(RiseFallMark("+-"), Sj("△ "));
    // The sign counts wherever it stands, as patterns that end before a bracket or tag leave it.
    EXPECT_EQ(RiseFallMark("(-0.5%)"), Sj("▼ "));
    EXPECT_EQ(RiseFallMark("<font color=red>-0.5%"), Sj("▼ "));
    EXPECT_EQ(RiseFallMark("(+0.5%)"), Sj("△ "));
    EXPECT_EQ(RiseFallMark("\x81-"), Sj("－ "));  // '-' as a second byte is no sign
}

}  // namespace
}  // namespace tickora
