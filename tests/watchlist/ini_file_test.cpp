#include "watchlist/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "common/codepage.h"
#include "temp_dir.h"

namespace tickora {
namespace {

using namespace std::string_literals;

TEST(IniFileGetString, FollowsProfileRulesAndLeavesEveryByteAsItWas) {
    const struct {
        const char* name;
        std::string file, section, key, expected, def = "d";
        std::size_t buffer = 64;
    } cases[] = {
        {"ASCII case ignored", "[Sec]\r\nKosuu=3\r\n", "sEC", "KOSUU", "3"},
        {"blanks around names and value", "  [  S  ]  \r\n\t K \t=  a b \t\r\n", " S ", "\tK ",
         "a b"},
        {"double quotes go, blanks inside stay", "[S]\r\nK=\" a b \"\r\n", "S", "K", " a b "},
        {"single quotes", "[S]\r\nK='x'\r\n", "S", "K", "x"},
        {"only one pair", "[S]\r\nK=\"\"x\"\"\r\n", "S", "K", "\"x\""},
        {"mixed quotes kept", "[S]\r\nK=\"x'\r\n", "S", "K", "\"x'"},
        {"lone quote kept", "[S]\r\nK=\"\r\n", "S", "K", "\""},
        {"empty value is not absent", "[S]\r\nK=\r\n", "S", "K", ""},
        {"name ends at first '='", "[S]\r\nK=a=b\r\n", "S", "K", "a=b"},
        {"cut after quotes", "[S]\r\nK=\"abcdef\"\r\n", "S", "K", "abc", "", 4},
        {"cut never splits a character", "[S]\r\nK=a" + Sj("日本") + "\r\n", "S", "K",
         "a" + Sj("日"), "", 5},
        {"value ends at zero byte", "[S]\r\nK=ab\0cd\r\n"s, "S", "K", "ab"},
        {"first key wins", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "1"},
        {"first section wins", "[S]\r\nA=1\r\n[T]\r\n[s]\r\nK=2\r\n", "S", "K", "d"},
        {"absent: default less trailing blanks", "[S]\r\nK=v\r\n", "S", "X", "ab", "ab  "},
        {"absent: default cut", "", "S", "K", "tttt", "tttttt", 5},
        {"only the section's own keys", "K=v\r\n[S]\r\n[T]\r\nK=v\r\n", "S", "K", "d"},
        {"comment is no key", "[S]\r\n;K=v\r\n", "S", ";K", "d"},
        {"line without '=' is no key", "[S]\r\nK\r\nK=v\r\n", "S", "K", "v"},
        {"text after header ignored", "[S] junk\r\nK=v\r\n", "S", "K", "v"},
        {"header without ']' is a key", "[S]\r\n[T=1\r\n", "S", "[T", "1"},
        {"LF only, no trailing newline", "[S]\nK=v\nL=w", "S", "L", "w"},
        {"a lone CR ends a line", "[S]\rK=v\r\n", "S", "K", "v"},
        {"a byte-order mark is no part of a name", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        // 0x83 0x41 is "ア", 0x83 0x61 is "ャ": the second bytes differ only in ASCII case.
        {"second byte not folded", "[S]\r\n\x83\x41=v\r\n", "S", "\x83\x61", "d"},
        // 0x81 0x5D ends in ']': the header ends at the real ']' after it.
        {"']' as second byte", "[A\x81\x5D]\r\nK=v\r\n", "A\x81\x5D", "K", "v"},
        {"double-byte name, ASCII folded", "[" + Sj("銘柄") + "a]\r\nK=v\r\n", Sj("銘柄") + "A",
         "k", "v"},
    };
    for (const auto& c : cases) {
        const IniFile ini = IniFile::Parse(c.file);
        EXPECT_EQ(ini.GetString(c.section, c.key, c.def, c.buffer), c.expected) << c.name;
        EXPECT_EQ(ini.Serialize(), c.file) << c.name;  // nothing written: every byte as it was
    }
    // More files nothing reads cleanly, and one far longer than any line buffer.
    for (const std::string& file :
         {"\xEF\xBB\xBF[S]\rK=1\r\rL=2"s, "\r\n\r\n\n\r"s,
          "[A]\nX=1\r\n;c\n  [ B ]  \r\nK = \"q\" \n\x81\x5D\xFF\xFE\x80\r\rZ"s,
          "garbage\0with\0zeros\n[S\0]\n=\n==\n["s,
          std::string(100000, 'x') + "\n[S]\nK=" + std::string(70000, '\xE0')})
        EXPECT_EQ(IniFile::Parse(file).Serialize(), file);
}

TEST(IniFileGetInt, ReadsLeadingDecimalDigitsWrappingModulo2To32) {
    const struct {
        const char* value;  // nullptr: key absent
        int expected;
    } cases[] = {
        {"12abc", 12},     {"abc", 0},          {"  42  ", 42},
        {"-3", -3},        {"+5", 5},           {"\"9\"", 9},
        {"", 7},           {nullptr, 7},        {"- 1", 0},
        {"4294967297", 1}, {"-4294967297", -1}, {"2147483648", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        const std::string file = c.value ? "[S]\r\nK=" + std::string(c.value) + "\r\n" : "[S]\r\n";
        EXPECT_EQ(IniFile::Parse(file).GetInt("S", "k", 7), c.expected)
            << (c.value ? c.value : "(absent)");
    }
}

TEST(IniFileWriteString, ReplacesInPlaceAndPlacesNewKeysAfterTheirSection) {
    const struct {
        const char* name;
        std::string before, section, key, value, after;
    } cases[] = {
        {"into empty file", "", "S", "K", "v", "[S]\r\nK=v\r\n"},
        {"replace in place keeps neighbours and spelling",
         "; top\n[s]\nA = 1 \nkey = old ; x\nB=2\n", "S", "KEY", "new",
         "; top\n[s]\nA = 1 \nkey=new\r\nB=2\n"},
        {"replace first duplicate only", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "9",
         "[S]\r\nK=9\r\nK=2\r\n"},
        {"new key after last key, before blanks and comments",
         "[S]\r\nA=1\r\n\r\n; next\r\n[T]\r\n", "S", "B", "2",
         "[S]\r\nA=1\r\nB=2\r\n\r\n; next\r\n[T]\r\n"},
        {"new key in section without keys", "[S]\r\n\r\n[T]\r\n", "S", "K", "v",
         "[S]\r\nK=v\r\n\r\n[T]\r\n"},
        {"line without '=' counts as content", "[S]\r\nA=1\r\nloose\r\n", "S", "B", "2",
         "[S]\r\nA=1\r\nloose\r\nB=2\r\n"},
        {"new key after unterminated line", "[S]\r\nA=1", "S", "B", "2", "[S]\r\nA=1\r\nB=2\r\n"},
        {"new section at the end, no blank line", "[A]\r\nX=1", "B", "K", "v",
         "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        {"into first of duplicate sections", "[S]\r\nA=1\r\n[S]\r\nB=2\r\n", "S", "B", "3",
         "[S]\r\nA=1\r\nB=3\r\n[S]\r\nB=2\r\n"},
        {"value is one line", "", "S", "K", "a\r\nX=evil", "[S]\r\nK=a\r\n"},
        {"value ends at zero byte", "", "S", "K", "a\0b"s, "[S]\r\nK=a\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini = IniFile::Parse(c.before);
        ini.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(ini.Serialize(), c.after) << c.name;
    }
}

TEST(IniFileDeleteSection, RemovesEverySectionOfThatName) {
    const struct {
        std::string before, section, after;
    } cases[] = {
        {"[A]\r\nX=1\r\n[B]\r\nY=2\r\n; c\r\n\r\n[C]\r\nZ=3\r\n", "b",
         "[A]\r\nX=1\r\n[C]\r\nZ=3\r\n"},
        {"pre\r\n[A]\r\nX=1\r\n[B]\r\nY=2", "B", "pre\r\n[A]\r\nX=1\r\n"},
        {"[B]\r\nY=1\r\n[A]\r\n[ b ]\r\nY=2\r\n", "B", "[A]\r\n"},
        // The mark stays in front when the first section goes.
        {"\xEF\xBB\xBF[B]\r\nY=1\r\n[A]\r\n", "B", "\xEF\xBB\xBF[A]\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini = IniFile::Parse(c.before);
        ini.DeleteSection(c.section);
        EXPECT_EQ(ini.Serialize(), c.after) << c.before;
    }
}

TEST(IniFileSave, FullDiskFailsAndKeepsOldFile) {
    test::TempDir dir;
    const std::string old = "[A]\r\nX=1\r\n";
    dir.Write("base_data.ini", old);
    IniFile ini = IniFile::Parse(old);
    ini.WriteString("A", "Y", std::string(400, 'y'));

    // A file-size limit makes the write fail part-way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{100, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = ini.Save(dir.file("base_data.ini"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(dir.Read("base_data.ini"), old);
    EXPECT_EQ(test::EntriesIn(dir.path()), 1);
}

}  // namespace
}  // namespace tickora
