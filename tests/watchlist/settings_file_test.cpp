#include "watchlist/settings_file.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "temp_dir.h"

namespace tickora {
namespace {

using namespace std::string_literals;

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
                 "NUM2=9984\r\nSIJOU2=ＪＱ\r\n"
                 "KOSUU=3\r\nCHKOPENURL=0\r\nCHKGOTASK=1\r\nSELECTEDITEM=2\r\n"
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
}

TEST(SettingsFile, ForeignContentAndEditedPatternsSurviveAndTheListStaysLast) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    const std::string kept =
        "; my notes\r\n[OTHER]\r\nkeep = \"me\"\r\nno equals here\r\n\r\n" +
        Sj("[link_jouhou]\r\ngenzaiti=[現在値]_<td><strong>_</strong></td>\r\n") + "TOSYOU=tt\r\n";
    dir.Write("base_data.ini", kept + "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=7203\r\nSIJOU0=X\r\n");
    std::string saved[2];
    for (int round = 0; round < 2; ++round) {
        const SettingsData data = LoadSettingsData(path);
        EXPECT_EQ(data.patternTexts[3], Sj("[現在値]_<td><strong>_</strong></td>")) << round;
        EXPECT_EQ(data.suffixes[0], "tt") << round;
        EXPECT_EQ(data.rows, (std::vector<WatchRow>{{"7203", "X"}})) << round;
        ASSERT_TRUE(SaveSettingsData(path, data));
        saved[round] = dir.Read("base_data.ini");
    }
    EXPECT_TRUE(saved[0].starts_with(kept)) << saved[0];
    // The list follows the sections it followed, once; a second save changes no byte.
    const auto list = saved[0].find("[MEIGARA_DATA]");
    ASSERT_NE(list, std::string::npos);
    EXPECT_EQ(saved[0].find("[MEIGARA_DATA]", list + 1), std::string::npos);
    EXPECT_EQ(saved[1], saved[0]);
    // Pattern keys are never written, not even the absent ones.
    EXPECT_EQ(saved[0].find("meigaramei"), std::string::npos);
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
        {"KOSUU=-4\r\n", 0},
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
