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

struct FindCase {
    const char* name;
    std::string text;
    std::string needle;
    Offset from;
    Offset expected;
};

TEST(Find, CharacterAwareSearch) {
    // 0x83 0x41 is one double-byte character whose second byte is 'A'.
    const std::string dbA = "\x83\x41";
    const FindCase cases[] = {
        {"plain", "abcabc", "c", 0, 2},
        {"from skips earlier hit", "abcabc", "c", 3, 5},
        {"case matters", "Shift_jis", "Shift_JIS", 0, kNone},
        {"empty needle at from", "abc", "", 2, 2},
        {"empty needle at end", "abc", "", 3, 3},
        {"from past end", "abc", "", 4, kNone},
        {"negative from is 0", "abc", "a", -5, 0},
        {"no match on second byte", dbA + "A", "A", 0, 2},
        {"only second-byte occurrence", dbA, "A", 0, kNone},
        {"needle crossing characters", "x" + dbA + "B", dbA + "B", 0, 1},
        {"lead byte at the very end", "ab\x83", "b", 0, 1},
        {"from inside a character finds its second byte", dbA + "A", "A", 1, 1},
        {"needle longer than text", "ab", "abc", 0, kNone},
    };
    for (const auto& c : cases) EXPECT_EQ(Find(c.text, c.needle, c.from), c.expected) << c.name;
}

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

TEST(Find, AgreesWithTheCharacterWalkOnRandomText) {
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
        const std::string text = pick(random() % 40);
        const std::string needle = pick(random() % 4);
        const auto from = static_cast<Offset>(random() % 44) - 2;
        ASSERT_EQ(Find(text, needle, from), ReferenceFind(text, needle, from))
            << "round " << round << " from " << from;
    }
}

TEST(Cut, ClampsLikeTheOriginal) {
    const std::string t = "abcdef";
    EXPECT_EQ(Cut(t, 1, 3), "bcd");
    EXPECT_EQ(Cut(t, -2, 3), "abc");
    EXPECT_EQ(Cut(t, 2, -1), "");
    EXPECT_EQ(Cut(t, 4, 100), "ef");
    EXPECT_EQ(Cut(t, 10, 2), "");
    EXPECT_EQ(Cut(t, 3), "def");
    EXPECT_EQ(Cut(t, -1), "abcdef");
}

TEST(CutToBytes, NeverSplitsACharacter) {
    const std::string a = Sj("あ");  // two bytes
    EXPECT_EQ(CutToBytes("abc" + a, 4), "abc");
    EXPECT_EQ(CutToBytes("abc" + a, 5), "abc" + a);
    EXPECT_EQ(CutToBytes(a + a, 3), a);
    EXPECT_EQ(CutToBytes("ab", 10), "ab");
    EXPECT_EQ(CutToBytes("ab", 0), "");
    // A lead byte with no partner counts as two bytes and never slips past the bound.
    EXPECT_EQ(CutToBytes("ab\x83", 3), "ab");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceCharacterAware) {
    const std::string code = Sj("銘柄");
    EXPECT_EQ(ReplaceAll("a" + code + "b" + code, code, "8058"), "a8058b8058");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    // "\x83\x41" holds 'A' as second byte: not replaced.
    EXPECT_EQ(ReplaceAll("\x83\x41"
                         "A",
                         "A", "z"),
              "\x83\x41z");
}

TEST(UpToNul, EndsAtFirstZeroByte) {
    EXPECT_EQ(UpToNul(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(UpToNul("abc"), "abc");
    EXPECT_EQ(UpToNul(std::string("\0", 1)), "");
}

TEST(LeadingInt, ReadsLikeAtoiAndSaturates) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"123", 123},
        {"  42abc", 42},
        {"\t-17", -17},
        {"+9", 9},
        {"-", 0},
        {"", 0},
        {"abc", 0},
        {"1,234", 1},
        {"16,500.12", 16},
        {"-0.5", 0},
        {"+0.9", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"007", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingInt(c.text), c.expected) << c.text;
}

TEST(Codepage, RoundTripsAndReplacesInvalidBytes) {
    const std::string utf8 = "TICKORA株価 △▼－　ｱ";
    const std::string sjis = Utf8ToCp932(utf8);
    EXPECT_EQ(sjis.substr(0, 7), "TICKORA");
    EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
    // Known byte values the stored files rely on.
    EXPECT_EQ(Sj("－ "), "\x81\x7C ");
    EXPECT_EQ(Sj("△ "), "\x81\xA2 ");
    EXPECT_EQ(Sj("▼ "), "\x81\xA5 ");
    EXPECT_EQ(Sj("　"), "\x81\x40");
    // A lone lead byte at the end, and bytes that are no CP932 at all.
    EXPECT_EQ(Cp932ToUtf8("ab\x83"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8("\xFF"
                          "a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    // Characters CP932 lacks, and broken UTF-8, become '?'.
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp932("a\xC3"), "a?");
}

TEST(MarketTable, PrefixLookupIsCaseInsensitiveAndOrdered) {
    ASSERT_EQ(Markets().size(), 7u);
    EXPECT_EQ(Markets()[1].displayName, Sj("ＪＱ"));
    EXPECT_STREQ(Markets()[6].settingsKey, "SAPPORO");
    EXPECT_STREQ(Markets()[2].defaultSuffix, "j");
    for (int i = 0; i < kMarketCount; ++i)
        EXPECT_EQ(FindMarketByPrefix(Markets()[static_cast<std::size_t>(i)].displayName), i);
    EXPECT_EQ(FindMarketByPrefix(Sj("大")), 3);
    EXPECT_EQ(FindMarketByPrefix(""), 0);  // every name begins with the empty text
    EXPECT_EQ(FindMarketByPrefix(Sj("東証一部")), -1);
    EXPECT_EQ(FindMarketByPrefix("NYSE"), -1);
}

TEST(ProgramFolder, SplitsTheDirectoryOff) {
    EXPECT_EQ(ProgramFolder("/opt/tickora/tickora"), "/opt/tickora/");
    EXPECT_EQ(ProgramFolder("./tickora"), "./");
    EXPECT_EQ(ProgramFolder("tickora"), "");
    EXPECT_EQ(ProgramFolder("/tickora"), "/");
    EXPECT_EQ(FileBesideProgram(ProgramFolder("bin/tickora"), "base_data.ini"),
              "bin/base_data.ini");
}

}  // namespace
}  // namespace tickora
