#include "watchlist/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "common/codepage.h"
#include "temp_dir.h"

namespace tickora {
namespace {

using namespace std::string_literals;

struct GetCase {
    const char* name;
    std::string file;
    std::string section, key, def;
    std::size_t buffer;
    std::string expected;
};

TEST(IniFileGetString, FollowsProfileRules) {
    const GetCase cases[] = {
        {"plain", "[S]\r\nK=v\r\n", "S", "K", "d", 64, "v"},
        {"section case", "[Sec]\r\nK=v\r\n", "sEC", "K", "d", 64, "v"},
        {"key case", "[S]\r\nKosuu=3\r\n", "S", "KOSUU", "d", 64, "3"},
        {"blanks around names", "  [  S  ]  \r\n\t K \t= v\r\n", "S", "K", "d", 64, "v"},
        {"blanks around asked names", "[S]\r\nK=v\r\n", " S ", "\tK ", "d", 64, "v"},
        {"blanks around value", "[S]\r\nK=  a b \t\r\n", "S", "K", "d", 64, "a b"},
        {"double quotes", "[S]\r\nK=\" a b \"\r\n", "S", "K", "d", 64, " a b "},
        {"single quotes", "[S]\r\nK='x'\r\n", "S", "K", "d", 64, "x"},
        {"only one pair", "[S]\r\nK=\"\"x\"\"\r\n", "S", "K", "d", 64, "\"x\""},
        {"mixed quotes kept", "[S]\r\nK=\"x'\r\n", "S", "K", "d", 64, "\"x'"},
        {"lone quote kept", "[S]\r\nK=\"\r\n", "S", "K", "d", 64, "\""},
        {"empty quotes", "[S]\r\nK=\"\"\r\n", "S", "K", "d", 64, ""},
        {"empty value is not absent", "[S]\r\nK=\r\n", "S", "K", "d", 64, ""},
        {"value with '='", "[S]\r\nK=a=b\r\n", "S", "K", "d", 64, "a=b"},
        {"cut to buffer", "[S]\r\nK=" + std::string(30, '1') + "\r\n", "S", "K", "", 25,
         std::string(24, '1')},
        {"cut after quotes", "[S]\r\nK=\"abcdef\"\r\n", "S", "K", "", 4, "abc"},
        {"buffer of one", "[S]\r\nK=abc\r\n", "S", "K", "d", 1, ""},
        {"cut never splits a character", "[S]\r\nK=a" + Sj("日本") + "\r\n", "S", "K", "", 5,
         "a" + Sj("日")},
        {"value ends at zero byte", "[S]\r\nK=ab\0cd\r\n"s, "S", "K", "d", 64, "ab"},
        {"first key wins", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "d", 64, "1"},
        {"first section wins", "[S]\r\nA=1\r\n[T]\r\n[s]\r\nK=2\r\n", "S", "K", "d", 64, "d"},
        {"absent key", "[S]\r\nK=v\r\n", "S", "X", "def", 64, "def"},
        {"absent section", "[S]\r\nK=v\r\n", "T", "K", "def", 64, "def"},
        {"default trailing blanks go", "", "S", "K", "def  ", 64, "def"},
        {"default cut", "", "S", "K", "tttttt", 5, "tttt"},
        {"key of other section", "[S]\r\n[T]\r\nK=v\r\n", "S", "K", "d", 64, "d"},
        {"no section before header", "K=v\r\n[S]\r\n", "S", "K", "d", 64, "d"},
        {"empty section name", "K=v\r\n[]\r\nK=w\r\n", "", "K", "d", 64, "w"},
        {"comment is no key", "[S]\r\n;K=v\r\n", "S", ";K", "d", 64, "d"},
        {"line without '=' is no key", "[S]\r\nK\r\nK=v\r\n", "S", "K", "d", 64, "v"},
        {"text after header ignored", "[S] junk\r\nK=v\r\n", "S", "K", "d", 64, "v"},
        {"header without ']' is a key", "[S]\r\n[T=1\r\n", "S", "[T", "d", 64, "1"},
        {"LF only", "[S]\nK=v\nL=w", "S", "L", "d", 64, "w"},
        {"lone CR does not end a line", "[S]\rK=v\r\n", "S", "K", "d", 64, "d"},
        {"lone CR inside a value", "[S]\r\nK=a\rb\r\n", "S", "K", "d", 64, "a\rb"},
        {"no trailing newline", "[S]\r\nK=v", "S", "K", "d", 64, "v"},
        // 0x83 0x41 is "ア", 0x83 0x61 is "ャ": the second bytes differ only in ASCII case.
        {"second byte not folded", "[S]\r\n\x83\x41=v\r\n", "S", "\x83\x61", "d", 64, "d"},
        {"double-byte name", "[S]\r\n\x83\x41=v\r\n", "S", "\x83\x41", "d", 64, "v"},
        // 0x81 0x5D ends in ']': the header ends at the real ']' after it.
        {"']' as second byte", "[A\x81\x5D]\r\nK=v\r\n", "A\x81\x5D", "K", "d", 64, "v"},
        {"double-byte section + ASCII fold", "[" + Sj("銘柄") + "a]\r\nK=v\r\n", Sj("銘柄") + "A",
         "k", "d", 64, "v"},
    };
    for (const auto& c : cases) {
        const IniFile ini = IniFile::Parse(c.file);
        EXPECT_EQ(ini.GetString(c.section, c.key, c.def, c.buffer), c.expected) << c.name;
    }
}

TEST(IniFileGetInt, ReadsLeadingDecimalDigits) {
    struct Case {
        const char* value;  // nullptr: key absent
        int def;
        int expected;
    };
    const Case cases[] = {
        {"12", 7, 12},
        {"12abc", 7, 12},
        {"abc", 7, 0},
        {"  42  ", 7, 42},
        {"-3", 7, -3},
        {"+5", 7, 5},
        {"\"9\"", 7, 9},
        {"", 7, 7},
        {nullptr, 7, 7},
        {nullptr, -1, -1},
        {"1.5", 7, 1},
        {"- 1", 7, 0},
        {"2147483647", 0, 2147483647},
        // The platform wraps modulo 2^32 instead of saturating.
        {"4294967297", 0, 1},
        {"-4294967297", 0, -1},
        {"42A94967297", 0, 42},
        {"2147483648", 0, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        const std::string file =
            c.value ? "[S]\r\nK=" + std::string(c.value) + "\r\n" : "[S]\r\nX=1\r\n";
        EXPECT_EQ(IniFile::Parse(file).GetInt("S", "k", c.def), c.expected)
            << (c.value ? c.value : "(absent)");
    }
}

struct WriteCase {
    const char* name;
    std::string before;
    std::string section, key, value;
    std::string after;
};

TEST(IniFileWriteString, PlacesAndReplacesAsThePlatform) {
    const WriteCase cases[] = {
        {"into empty file", "", "S", "K", "v", "[S]\r\nK=v\r\n"},
        {"replace in place keeps neighbours and spelling",
         "; top\n[s]\nA = 1 \nkey = old ; x\nB=2\n", "S", "KEY", "new",
         "; top\n[s]\nA = 1 \nkey=new\r\nB=2\n"},
        {"replace first duplicate only", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "9",
         "[S]\r\nK=9\r\nK=2\r\n"},
        {"new key after last key, before blanks and comments",
         "[S]\r\nA=1\r\n\r\n; next\r\n[T]\r\n", "S", "B", "2",
         "[S]\r\nA=1\r\nB=2\r\n\r\n; next\r\n[T]\r\n"},
        {"new key in section without keys", "[S]\r\n\r\n[T]\r\nX=1\r\n", "S", "K", "v",
         "[S]\r\nK=v\r\n\r\n[T]\r\nX=1\r\n"},
        {"line without '=' counts as content", "[S]\r\nA=1\r\nloose\r\n", "S", "B", "2",
         "[S]\r\nA=1\r\nloose\r\nB=2\r\n"},
        {"new key at end without newline", "[S]\r\nA=1", "S", "B", "2", "[S]\r\nA=1\r\nB=2\r\n"},
        {"new section at the end, no blank line", "[A]\r\nX=1\r\n", "B", "K", "v",
         "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        {"new section after unterminated last line", "[A]\r\nX=1", "B", "K", "v",
         "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        {"into first of duplicate sections", "[S]\r\nA=1\r\n[S]\r\nB=2\r\n", "S", "B", "3",
         "[S]\r\nA=1\r\nB=3\r\n[S]\r\nB=2\r\n"},
        {"value is one line", "", "S", "K", "a\r\nX=evil", "[S]\r\nK=a\r\n"},
        {"value ends at zero byte", "", "S", "K", "a\0b"s, "[S]\r\nK=a\r\n"},
        {"empty value", "", "S", "K", "", "[S]\r\nK=\r\n"},
        {"CP932 value", "[S]\r\n", "S", "K", Sj("東証"), "[S]\r\nK=" + Sj("東証") + "\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini = IniFile::Parse(c.before);
        ini.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(ini.Serialize(), c.after) << c.name;
    }
}

TEST(IniFileDeleteSection, RemovesEverySectionOfThatName) {
    const struct {
        const char* name;
        std::string before, section, after;
    } cases[] = {
        {"middle", "[A]\r\nX=1\r\n[B]\r\nY=2\r\n; c\r\n\r\n[C]\r\nZ=3\r\n", "b",
         "[A]\r\nX=1\r\n[C]\r\nZ=3\r\n"},
        {"last", "pre\r\n[A]\r\nX=1\r\n[B]\r\nY=2", "B", "pre\r\n[A]\r\nX=1\r\n"},
        {"duplicates", "[B]\r\nY=1\r\n[A]\r\n[ b ]\r\nY=2\r\n", "B", "[A]\r\n"},
        {"absent", "[A]\r\nX=1\r\n", "B", "[A]\r\nX=1\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini = IniFile::Parse(c.before);
        ini.DeleteSection(c.section);
        EXPECT_EQ(ini.Serialize(), c.after) << c.name;
    }
}

TEST(IniFileSerialize, UntouchedBytesSurviveExactly) {
    const std::string inputs[] = {
        "",
        "no newline at all",
        "\r\n\r\n\n\r",
        "[A]\nX=1\r\n;c\n  [ B ]  \r\nK = \"q\" \n\x81\x5D\xFF\xFE\x80\r\rZ",
        "garbage\0with\0zeros\n[S\0]\n=\n==\n["s,
        std::string(100000, 'x') + "\n[S]\nK=" + std::string(70000, '\xE0'),
    };
    for (const auto& input : inputs) {
        EXPECT_EQ(IniFile::Parse(input).Serialize(), input);
    }
}

TEST(IniFileSerialize, ForeignContentUntouchedAroundWrites) {
    const std::string before =
        "; settings\n"
        "[FOREIGN]\n"
        "  odd line without equals\n"
        "Key = \"quoted\"   \n"
        "\n"
        "[LINK_JOUHOU]\r\n"
        "key=[key]_</tr>\r\n"
        "BASE_URL=old\r\n";
    IniFile ini = IniFile::Parse(before);
    ini.WriteString("LINK_JOUHOU", "BASE_URL", "new");
    ini.WriteString("LINK_JOUHOU", "OPEN_URL", "u");
    ini.DeleteSection("MEIGARA_DATA");
    ini.WriteString("MEIGARA_DATA", "KOSUU", "0");
    EXPECT_EQ(ini.Serialize(),
              "; settings\n"
              "[FOREIGN]\n"
              "  odd line without equals\n"
              "Key = \"quoted\"   \n"
              "\n"
              "[LINK_JOUHOU]\r\n"
              "key=[key]_</tr>\r\n"
              "BASE_URL=new\r\n"
              "OPEN_URL=u\r\n"
              "[MEIGARA_DATA]\r\n"
              "KOSUU=0\r\n");
    const IniFile again = IniFile::Parse(ini.Serialize());
    EXPECT_EQ(again.GetString("foreign", "key", "", 64), "quoted");
    EXPECT_EQ(again.GetString("LINK_JOUHOU", "key", "", 64), "[key]_</tr>");
}

TEST(IniFileLoad, MissingFileIsEmpty) {
    test::TempDir dir;
    const IniFile ini = IniFile::Load(dir.file("none.ini"));
    EXPECT_EQ(ini.Serialize(), "");
    EXPECT_EQ(ini.GetString("S", "K", "d", 8), "d");
    // A folder in place of the file reads as empty too.
    EXPECT_EQ(IniFile::Load(dir.folder()).Serialize(), "");
}

TEST(IniFileSave, WritesAtomicallyAndKeepsPermissions) {
    test::TempDir dir;
    const std::string path = dir.file("base_data.ini");
    dir.Write("base_data.ini", "[A]\r\nX=1\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    IniFile ini = IniFile::Load(path);
    ini.WriteString("A", "X", "2");
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(dir.Read("base_data.ini"), "[A]\r\nX=2\r\n");

    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

// Saves ini into path with the folder made unwritable. As root a permission bit stops
// nothing, so the save then runs in a child that has given up root.
bool SaveWithoutWriteAccess(const IniFile& ini, const std::string& folder,
                            const std::string& path) {
    if (::geteuid() != 0) {
        ::chmod(folder.c_str(), 0555);
        const bool saved = ini.Save(path);
        ::chmod(folder.c_str(), 0755);
        return saved;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(ini.Save(path) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return true;
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(IniFileSave, UnwritableFolderFailsAndKeepsOldFile) {
    test::TempDir dir;
    const std::string old = "[A]\r\nX=1\r\n";
    dir.Write("base_data.ini", old);
    ::chmod(dir.folder().c_str(), 0755);
    IniFile ini = IniFile::Parse(old);
    ini.WriteString("A", "X", "2");
    EXPECT_FALSE(SaveWithoutWriteAccess(ini, dir.folder(), dir.file("base_data.ini")));
    EXPECT_EQ(dir.Read("base_data.ini"), old);
}

TEST(IniFileSave, FullDiskFailsAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string old = "[A]\r\nX=1\r\n";
    dir.Write("base_data.ini", old);
    IniFile ini = IniFile::Parse(old);
    ini.WriteString("A", "Y", std::string(400, 'y'));

    // A file-size limit makes the write fail part-way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = ini.Save(dir.file("base_data.ini"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(dir.Read("base_data.ini"), old);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(IniFileSave, MissingFolderFails) {
    test::TempDir dir;
    EXPECT_FALSE(IniFile::Parse("[A]\r\n").Save(dir.file("no/such/base_data.ini")));
}

}  // namespace
}  // namespace tickora
