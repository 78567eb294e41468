#include "watchlist/settings_file.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "temp_dir.h"

namespace tickora {
namespace {

using namespace std::string_literals;

TEST(SettingsFile, FileFromScratchHasExactBytes) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    EXPECT_EQ(LoadSettingsData(path), DefaultSettings());  // a missing file

    SettingsData data = DefaultSettings();
    data.rows = {{"7203", Sj("東証")}, {"9984", Sj("ＪＱ")}};
    ASSERT_TRUE(SaveSettingsData(path, data));
    EXPECT_EQ(dir.Read("base_data.ini"),
              Sj("[MEIGARA_DATA]\r\nNUM0=7203\r\nSIJOU0=東証\r\nNUM1=9984\r\nSIJOU1=ＪＱ\r\n"
                 "KOSUU=2\r\nCHKOPENURL=1\r\nCHKGOTASK=0\r\nSELECTEDITEM=0\r\n"
                 "[LINK_JOUHOU]\r\n"
                 "BASE_URL=http://127.0.0.1:50505/q?s=銘柄.市場\r\n"
                 "OPEN_URL=http://127.0.0.1:50505/q?s=銘柄.市場\r\n"
                 "OPEN_NIKKEI_URL=http://127.0.0.1:50505/q?s=998407\r\n"
                 "STOCK_LINK=Yahoo finance\r\nSTOCK_NIKKEI=Yahoo日経\r\n"
                 "TOSYOU=t\r\nJASDAQ=q\r\nHERAKURESU=j\r\nOOSAKA=o\r\n"
                 "NAGOYA=n\r\nHUKUOKA=f\r\nSAPPORO=s\r\n"));
    EXPECT_EQ(LoadSettingsData(path), data);
}

TEST(SettingsFile, DeletingMiddleRowLeavesNoStaleKeys) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    dir.Write("base_data.ini",
              "[MEIGARA_DATA]\r\nKOSUU=3\r\nNUM0=1111\r\nSIJOU0=A\r\nNUM1=2222\r\nSIJOU1=B\r\n"
              "NUM2=3333\r\nSIJOU2=C\r\nCHKOPENURL=0\r\nCHKGOTASK=1\r\nSELECTEDITEM=2\r\n");
    SettingsData data = LoadSettingsData(path);
    ASSERT_EQ(data.rows, (std::vector<WatchRow>{{"1111", "A"}, {"2222", "B"}, {"3333", "C"}}));

    data.rows.erase(data.rows.begin() + 1);
    ASSERT_TRUE(SaveSettingsData(path, data));
    const std::string saved = dir.Read("base_data.ini");
    EXPECT_EQ(saved.substr(0, saved.find("[LINK_JOUHOU]")),
              "[MEIGARA_DATA]\r\nNUM0=1111\r\nSIJOU0=A\r\nNUM1=3333\r\nSIJOU1=C\r\n"
              "KOSUU=2\r\nCHKOPENURL=0\r\nCHKGOTASK=1\r\nSELECTEDITEM=2\r\n");
    EXPECT_EQ(LoadSettingsData(path).rows, (std::vector<WatchRow>{{"1111", "A"}, {"3333", "C"}}));
}

TEST(SettingsFile, ListFollowsLinksWhenLinksComeFirst) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    dir.Write("base_data.ini",
              "[LINK_JOUHOU]\r\nBASE_URL=http://h/\r\n"
              "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=7203\r\nSIJOU0=X\r\n");
    ASSERT_TRUE(SaveSettingsData(path, LoadSettingsData(path)));
    const std::string saved = dir.Read("base_data.ini");
    const auto list = saved.find("[MEIGARA_DATA]");
    EXPECT_TRUE(saved.starts_with("[LINK_JOUHOU]\r\nBASE_URL=http://h/\r\n")) << saved;
    ASSERT_NE(list, std::string::npos);
    EXPECT_EQ(saved.find("[MEIGARA_DATA]", list + 1), std::string::npos);
    // A second save keeps the same order and the same bytes.
    ASSERT_TRUE(SaveSettingsData(path, LoadSettingsData(path)));
    EXPECT_EQ(dir.Read("base_data.ini"), saved);
}

TEST(SettingsFile, ForeignContentAndEditedPatternsSurviveSaves) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    const std::string kept =
        "; my notes\r\n[OTHER]\r\nkeep = \"me\"\r\nno equals here\r\n\r\n" +
        Sj("[link_jouhou]\r\ngenzaiti=[現在値]_<td><strong>_</strong></td>\r\n") + "TOSYOU=tt\r\n";
    dir.Write("base_data.ini", kept);
    for (int round = 0; round < 2; ++round) {
        const SettingsData data = LoadSettingsData(path);
        EXPECT_EQ(data.patternTexts[3], Sj("[現在値]_<td><strong>_</strong></td>")) << round;
        EXPECT_EQ(data.suffixes[0], "tt") << round;
        ASSERT_TRUE(SaveSettingsData(path, data));
    }
    const std::string saved = dir.Read("base_data.ini");
    EXPECT_TRUE(saved.starts_with(kept)) << saved;
    // Pattern keys are never written, not even the absent ones.
    EXPECT_EQ(saved.find("meigaramei"), std::string::npos);
}

TEST(SettingsFile, ValuesAreCutToTheirBuffers) {
    test::TempDir dir;
    dir.Write("base_data.ini",
              "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=" + std::string(30, '7') +
                  "\r\n[LINK_JOUHOU]\r\nTOSYOU=tttttt\r\nSTOCK_LINK=" + std::string(600, 'L') +
                  "\r\nkey=" + std::string(300, 'k') + "\r\n");
    const SettingsData data = LoadSettingsData(SettingsPath(dir.folder()));
    EXPECT_EQ(data.rows, (std::vector<WatchRow>{{std::string(24, '7'), ""}}));
    EXPECT_EQ(data.suffixes[0], "tttt");
    EXPECT_EQ(data.suffixes[2], "j");
    EXPECT_EQ(data.stockLabel, std::string(511, 'L'));
    EXPECT_EQ(data.patternTexts[0], std::string(255, 'k'));
}

TEST(SettingsFile, RowCountIsCapped) {
    const auto kMax = static_cast<std::size_t>(kMaxLoadedRows);
    const struct {
        std::string kosuu;  // the whole KOSUU line, empty for none
        std::size_t rows;
    } cases[] = {
        {"", 0},
        {"KOSUU=abc\r\n", 0},
        {"KOSUU=-4\r\n", 0},
        {"KOSUU=3x\r\n", 3},
        {"KOSUU=20\r\n", 20},  // more than the 15 a list may be given: all loaded
        {"KOSUU=2147483647\r\n", kMax},
        {"KOSUU=" + std::string(40, '9') + "\r\n", kMax},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        dir.Write("base_data.ini", "[MEIGARA_DATA]\r\n" + c.kosuu + "NUM0=1301\r\n");
        const SettingsData data = LoadSettingsData(SettingsPath(dir.folder()));
        ASSERT_EQ(data.rows.size(), c.rows) << c.kosuu;
        if (c.rows > 1) {
            EXPECT_EQ(data.rows[0].code, "1301") << c.kosuu;
            EXPECT_EQ(data.rows[1].code, "") << c.kosuu;
        }
    }
}

TEST(SettingsFile, BrokenFileLoadsAndSaves) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    dir.Write("base_data.ini",
              "\xFF\xFE\x00\x81[MEIGARA_DATA\r\n=\r\n\x81\r\n"
              "[MEIGARA_DATA]\rKOSUU=5\n"
              "[MEIGARA_DATA]\nKOSUU=1\nNUM0=\x00zz\nloose line\n"
              "[LINK_JOUHOU]\nTOSYOU"s);
    SettingsData data = LoadSettingsData(path);
    // The first section of a name is the only one read: five rows without codes.
    EXPECT_EQ(data.rows, std::vector<WatchRow>(5));
    EXPECT_EQ(data.suffixes[0], "t");

    data.rows = {{"7203", Sj("東証")}};
    ASSERT_TRUE(SaveSettingsData(path, data));
    const std::string saved = dir.Read("base_data.ini");
    EXPECT_TRUE(
        saved.starts_with("\xFF\xFE\x00\x81[MEIGARA_DATA\r\n=\r\n\x81\r\n[LINK_JOUHOU]\nTOSYOU\r\n"
                          "BASE_URL="s))
        << saved;
    EXPECT_EQ(LoadSettingsData(path).rows, data.rows);
}

}  // namespace
}  // namespace tickora
