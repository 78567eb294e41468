#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "common/codepage.h"
#include "common/leading_int.h"
#include "common/market_table.h"
#include "common/program_folder.h"
#include "common/sjis.h"

namespace tickora {
namespace {

// The plain definition: step through the text one character at a time from `from`.
Offset ReferenceFind(std::string_view text, std::string_view needle, Offset from) {
    const auto size = static_cast<Offset>(text.size());
    if (from < 0) from = 0;
    if (from > size) return kNone;
    for (Offset i = from; i <= size; i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
        if (text.substr(static_cast<std::size_t>(i)).starts_with(needle)) return i;
        if (i == size) break;
    }
    return kNone;
}

TEST(Find, AgreesWithTheCharacterWalk) {
    // 0x83 0x41 is one double-byte character whose second byte is 'A'.
    EXPECT_EQ(Find("\x83\x41\x41", "A"), 2);
    EXPECT_EQ(Find("\x83\x41", "A"), kNone);
    // The lead range ends at 0xFC, among extended kanji: 髙 is 0xFB 0xFC.
    EXPECT_EQ(Find("\xFA\x41\x41", "A"), 2);
    EXPECT_EQ(Find("\xFB\xFC<", "\xFC<"), kNone);
    EXPECT_EQ(Find("\xFB\xFC\x40\xFC\x40", "\xFC\x40"), 3);
    EXPECT_EQ(Find("Shift_jis", "Shift_JIS"), kNone);
    // A small alphabet of lead bytes, bytes that are both lead and trail, and ASCII makes
    // false matches on second bytes frequent.
    const char alphabet[] = {'\x81', '\x9F', '\xE0', '\x40', 'a', '<', '/'};
    std::mt19937 random(1234);
    auto pick = [&](std::size_t len) {
        std::string s;
        for (std::size_t i = 0; i < len; ++i) s += alphabet[random() % sizeof alphabet];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        // Every tenth text is page-sized, searched in blocks; every third needle is cut from
        // the text, so that long needles match too.
        const std::size_t length = round % 10 ? random() % 40 : 1000 + random() % 200;
        const std::string text = pick(length);
        const std::string needle = round % 3 || length == 0
                                       ? pick(random() % 4)
                                       : text.substr(random() % length, random() % 24);
        const auto from = static_cast<Offset>(random() % (length + 4)) - 2;
        ASSERT_EQ(Find(text, needle, from), ReferenceFind(text, needle, from))
            << "round " << round << " from " << from;
    }
}

TEST(Text, CutsAndReplacementsNeverSplitACharacter) {
    const std::string a = Sj("あ");  // two bytes
    EXPECT_EQ(CutToBytes("abc" + a, 4), "abc");
    EXPECT_EQ(CutToBytes("abc" + a, 5), "abc" + a);
    // A lead byte with no partner counts as two bytes and never slips past the bound.
    EXPECT_EQ(CutToBytes("ab\x83", 3), "ab");
    const std::string code = Sj("銘柄");
    EXPECT_EQ(ReplaceAll("a" + code + "b" + code, code, "8058"), "a8058b8058");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("\x83\x41z", "A", "z"), "\x83\x41z");
}

TEST(LeadingInt, ReadsLikeAtoiAndSaturates) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"  42abc", 42},
        {"\t-17", -17},
        {"+9", 9},
        {"- 5", 0},
        {"", 0},
        {"1,234", 1},
        {"-0.5", 0},
        {"2147483648", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingInt(c.text), c.expected) << c.text;
}

TEST(Codepage, RoundTripsAndReplacesInvalidBytes) {
    const std::string utf8 = "TICKORA株価 △▼－　ｱ";
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(utf8)), utf8);
    // Byte values the stored files and the pages rely on.
    EXPECT_EQ(Sj("－ △ ▼ 　"), "\x81\x7C \x81\xA2 \x81\xA5 \x81\x40");
    // A lone lead byte at the end, and bytes that are no CP932 at all.
    EXPECT_EQ(Cp932ToUtf8("ab\x83"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8("\x82\xA0"), "あ");  // the cut-off lead byte is not carried over
    EXPECT_EQ(Cp932ToUtf8("\xFF@"), "\xEF\xBF\xBD@");
    // A character CP932 lacks becomes one '?', broken UTF-8 one '?' a byte.
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(Utf8ToCp932("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToCp932("\xFF\xE6\x9Dx\xED\xA0\x80"), "???x???");
}

TEST(MarketTable, PrefixLookupIsCaseInsensitiveAndOrdered) {
    EXPECT_EQ(FindMarketByPrefix(Sj("ＪＱ")), 1);
    EXPECT_EQ(FindMarketByPrefix(Sj("大")), 3);
    EXPECT_EQ(FindMarketByPrefix(""), 0);  // every name begins with the empty text
    EXPECT_EQ(FindMarketByPrefix(Sj("東証一部")), -1);
}

TEST(ProgramFolder, SplitsTheDirectoryAndTheNameOff) {
    const struct {
        const char *argv0, *folder, *name;
    } cases[] = {
        {"/opt/tickora/tickora", "/opt/tickora/", "tickora"},
        {"tickora", "", "tickora"},
        {"/a.b/.hidden", "/a.b/", ".hidden"},
        {"bin/tickora.x.y", "bin/", "tickora.x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramFolder(c.argv0), c.folder) << c.argv0;
        EXPECT_EQ(ProgramBaseName(c.argv0), c.name) << c.argv0;
    }
}

}  // namespace
}  // namespace tickora
