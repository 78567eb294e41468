// The settings file on top of the ini file rules. Nothing the user set is lost: a file the
// program could not read is never written, and every other save ends with the old or the
// new complete file.

#include "watchlist/settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "common/codepage.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace tickora {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Rows = std::vector<WatchRow>;

TEST(SettingsFile, FileFromScratchHasExactBytesAndNoStaleKeys) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    EXPECT_EQ(LoadSettingsData(path), DefaultSettings());  // a missing file

    SettingsData data = DefaultSettings();
    data.rows = {{"7203", Sj("東証")}, {"1111", "A"}, {"9984", Sj("ＪＱ")}};
    data.chkOpenUrl = 0, data.chkGoTask = 1, data.selectedItem = 2;
    ASSERT_TRUE(SaveSettingsData(path, data));
    EXPECT_EQ(dir.Read("base_data.ini"),
              Sj("[MEIGARA_DATA]\r\nNUM0=7203\r\nSIJOU0=東証\r\nNUM1=1111\r\nSIJOU1=A\r\n"
                 "NUM2=9984\r\nSIJOU2=ＪＱ\r\nKOSUU=3\r\nCHKOPENURL=0\r\nCHKGOTASK="
                 "1\r\nSELECTEDITEM=2\r\n"
                 "[LINK_JOUHOU]\r\n"
                 "BASE_URL=http://127.0.0.1:50505/q?s=銘柄.市場\r\n"
                 "OPEN_URL=http://127.0.0.1:50505/q?s=銘柄.市場\r\n"
                 "OPEN_NIKKEI_URL=http://127.0.0.1:50505/q?s=998407\r\n"
                 "STOCK_LINK=Yahoo finance\r\nSTOCK_NIKKEI=Yahoo日経\r\n"
                 "TOSYOU=t\r\nJASDAQ=q\r\nHERAKURESU=j\r\nOOSAKA=o\r\n"
                 "NAGOYA=n\r\nHUKUOKA=f\r\nSAPPORO=s\r\n"));
    EXPECT_EQ(LoadSettingsData(path), data);

    // Deleting the middle row leaves no stale NUM2/SIJOU2 behind.
    data.rows.erase(data.rows.begin() + 1);
    ASSERT_TRUE(SaveSettingsData(path, data));
    EXPECT_EQ(dir.Read("base_data.ini").find("NUM2"), std::string::npos);
    EXPECT_EQ(LoadSettingsData(path), data);

    // Index pages of their own are kept, an empty one as no key at all.
    data.page.m_arrIndexUrls = {"https://a.example/n225", "", "https://a.example/jq"};
    ASSERT_TRUE(SaveSettingsData(path, data));
    EXPECT_NE(dir.Read("base_data.ini")
                  .find("[INDEX_PAGES]\r\nnikkei=https://a.example/n225\r\njasdaq=https://a."
                        "example/jq\r\n"),
              std::string::npos)
        << dir.Read("base_data.ini");
    EXPECT_EQ(LoadSettingsData(path), data);
}

TEST(SettingsFile, AHandEditedBrokenFileLoadsAndAllElseInItSurvivesSaves) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    const std::string kept =
        "\xFF\xFE\x00\x81[MEIGARA_DATA\r\n=\r\n\x81\r\n; my notes\r\n[OTHER]\r\nkeep = \"me\"\r\n"
        "no equals here\r\n\r\n"s +
        Sj("[link_jouhou]\r\ngenzaiti=[現在値]_<td><strong>_</strong></td>\r\n") + "TOSYOU=tt\r\n";
    dir.Write("base_data.ini", kept +
                                   "[MEIGARA_DATA]\rKOSUU=5\n"
                                   "[MEIGARA_DATA]\nKOSUU=1\nNUM0=\x00zz\nloose line\n"s);
    SettingsData data = LoadSettingsData(path);
    // The first section of a name is the only one read: five rows without codes.
    EXPECT_EQ(data.rows, Rows(5));
    EXPECT_EQ(data.page.m_arrPatternTexts[3], Sj("[現在値]_<td><strong>_</strong></td>"));
    EXPECT_EQ(data.page.m_szSuffix[0], "tt");

    data.rows = {{"7203", Sj("東証")}};
    ASSERT_TRUE(SaveSettingsData(path, data));
    const std::string saved = dir.Read("base_data.ini");
    EXPECT_TRUE(saved.starts_with(kept)) << saved;
    // Both list sections went; the list is written once, after the sections it followed.
    EXPECT_EQ(saved.find("[MEIGARA_DATA]"), saved.rfind("[MEIGARA_DATA]"));
    EXPECT_EQ(LoadSettingsData(path), data);
    // Pattern keys are never written, not even the absent ones.
    EXPECT_EQ(saved.find("meigaramei"), std::string::npos);
    // A second save changes no byte.
    ASSERT_TRUE(SaveSettingsData(path, data));
    EXPECT_EQ(dir.Read("base_data.ini"), saved);
}

TEST(SettingsFile, AFileSavedAsUtf8IsPointedOut) {
    const std::string rows = "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=8058\r\nSIJOU0=";
    const std::pair<std::string, bool> cases[] = {
        {rows + "東証\r\n", true},                     // UTF-8 that also parses as CP932
        {rows + "東証\r\nSTOCK_NIKKEI=あ\r\n", true},  // UTF-8 that does not
        {rows + Sj("東証") + "\r\n", false},
        {rows + "\r\n", false},
        {rows + "\xFF\xFE\r\n", false},  // neither: nothing to say about it
    };
    test::TempDir dir;
    for (const auto& [bytes, saidSo] : cases) {
        dir.Write("base_data.ini", bytes);
        std::string notice;
        LoadSettingsData(SettingsPath(dir.folder()), nullptr, &notice);
        EXPECT_EQ(notice.find("iconv -f UTF-8 -t CP932") != std::string::npos, saidSo) << bytes;
    }
}

TEST(SettingsFile, ValuesAreCutToTheirBuffersAndTheRowCountIsCapped) {
    test::TempDir dir;
    dir.Write("base_data.ini",
              "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=" + std::string(30, '7') +
                  "\r\n[LINK_JOUHOU]\r\nTOSYOU=tttttt\r\nSTOCK_LINK=" + std::string(600, 'L') +
                  "\r\nkey=" + std::string(300, 'k') + "\r\n");
    const SettingsData data = LoadSettingsData(SettingsPath(dir.folder()));
    EXPECT_EQ(data.rows, (Rows{{std::string(24, '7'), ""}}));
    EXPECT_EQ(data.page.m_szSuffix[0], "tttt");
    EXPECT_EQ(data.page.m_szSuffix[2], "j");
    EXPECT_EQ(data.stockLabel, std::string(511, 'L'));
    EXPECT_EQ(data.page.m_arrPatternTexts[0], std::string(255, 'k'));

    const auto kMax = static_cast<std::size_t>(kMaxLoadedRows);
    // 20 is more than the 15 a list may be given: all are loaded.
    const std::pair<std::string, std::size_t> cases[] = {
        {"-4", 0}, {"20", 20}, {"2147483647", kMax}, {std::string(40, '9'), kMax}};
    for (const auto& [kosuu, rows] : cases) {
        dir.Write("base_data.ini", "[MEIGARA_DATA]\r\nKOSUU=" + kosuu + "\r\nNUM0=1301\r\n");
        const Rows loaded = LoadSettingsData(SettingsPath(dir.folder())).rows;
        ASSERT_EQ(loaded.size(), rows) << kosuu;
        if (rows > 1) {
            EXPECT_EQ(Rows(loaded.begin(), loaded.begin() + 2), (Rows{{"1301", ""}, {}})) << kosuu;
        }
    }
}

const std::string kMine = "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=8058\r\n[MINE]\r\nkeep=me\r\n";

void WriteMine(const test::TempDir& d, const std::string& name, mode_t mode = 0644) {
    d.Write(name, kMine);
    ::chmod(d.file(name).c_str(), mode);
}

using Dir = const test::TempDir&;  // the program's folder is its f/

TEST(SettingsFile, EverySaveEndsWithTheOldOrTheNewCompleteFile) {
    const struct {
        const char* what;
        bool asRootToo;  // root reads and writes what the mode bits forbid others
        std::function<void(Dir)> arrange;
        bool refused, saved;
    } cases[] = {
        {"unreadable", false, [](Dir d) { WriteMine(d, "f/base_data.ini", 0200); }, true, false},
        {"a FIFO: opened without blocking", true,
         [](Dir d) { ::mkfifo(d.file("f/base_data.ini").c_str(), 0600); }, true, false},
        {"a folder", true, [](Dir d) { fs::create_directory(d.file("f/base_data.ini")); }, true,
         false},
        {"read-only", true, [](Dir d) { WriteMine(d, "f/base_data.ini", 0444); }, false, false},
        {"a symbolic link is written through", true,
         [](Dir d) {
             fs::create_directory(d.file("f/real"));
             WriteMine(d, "f/real/t.ini");
             fs::create_symlink("real/t.ini", d.file("f/base_data.ini"));
         },
         false, true},
        {"a hard link: written in place, so both names see it", true,
         [](Dir d) {
             WriteMine(d, "f/base_data.ini");
             fs::create_hard_link(d.file("f/base_data.ini"), d.file("f/other-name.ini"));
         },
         false, true},
        {"a folder that refuses new files: written in place", false,
         [](Dir d) {
             WriteMine(d, "f/base_data.ini");
             ::chmod(d.file("f").c_str(), 0555);
         },
         false, true},
    };
    for (const auto& c : cases) {
        if (!c.asRootToo && ::geteuid() == 0) continue;
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const test::ScopedEnv state("XDG_STATE_HOME", dir.file("state"));
        fs::create_directory(dir.file("f"));
        c.arrange(dir);
        const std::string path = SettingsPath(dir.folder() + "f/");
        const fs::file_type type = fs::symlink_status(path).type();
        std::string refusal;
        SettingsData data = LoadSettingsData(path, &refusal);
        EXPECT_EQ(!refusal.empty(), c.refused) << refusal;
        EXPECT_EQ(data.rows.size(), c.refused ? 0u : 1u);
        data.rows.push_back({"9984", Sj("東証")});
        EXPECT_EQ(SaveSettingsData(path, data), c.saved);
        ::chmod(dir.file("f").c_str(), 0755);
        EXPECT_EQ(fs::symlink_status(path).type(), type);  // nothing took the file's place
        if (!fs::is_regular_file(path)) continue;
        ::chmod(path.c_str(), 0600);
        const std::string now = dir.Read("f/base_data.ini");
        if (fs::exists(dir.file("f/other-name.ini"))) {
            EXPECT_EQ(dir.Read("f/other-name.ini"), now);
        }
        if (c.saved) {
            EXPECT_NE(now.find("NUM1=9984"), std::string::npos) << now;
            EXPECT_NE(now.find("keep=me"), std::string::npos) << now;
        } else {
            EXPECT_EQ(now, kMine);
        }
    }
}

TEST(SettingsFile, ASaveRemovesOnlyOurOwnStaleTemporaries) {
    const struct {
        const char* name;
        bool aged, stays;
    } temporaries[] = {
        {".base_data.ini.tickora-Ab12Cd", true, false},
        {".base_data.ini.Xy12Z9", true, false},          // as earlier versions named them
        {".base_data.ini.tickora-Fresh1", false, true},  // another save's, now
        {".base_data.ini.backup1", true, true},          // not ours
    };
    test::TempDir dir;
    for (const auto& t : temporaries) {
        dir.Write(t.name, "x");
        const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
        if (t.aged) ::utimensat(AT_FDCWD, dir.file(t.name).c_str(), times, 0);
    }
    ASSERT_TRUE(SaveSettingsData(SettingsPath(dir.folder()), DefaultSettings()));
    for (const auto& t : temporaries) EXPECT_EQ(fs::exists(dir.file(t.name)), t.stays) << t.name;
}

}  // namespace
}  // namespace tickora
