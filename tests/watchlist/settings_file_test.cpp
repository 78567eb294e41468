#include "watchlist/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/codepage.h"
#include "temp_dir.h"
#include "watchlist/ini_file.h"

namespace tickora {
namespace {

using namespace std::string_literals;

std::string LinksSection() {
    return "[LINK_JOUHOU]\r\nBASE_URL=http://h/q?s=" + Sj("銘柄.市場") + "\r\n";
}

std::string ScratchFile() {
    return "[MEIGARA_DATA]\r\n"
           "NUM0=7203\r\n"
           "SIJOU0=" +
           Sj("東証") +
           "\r\n"
           "NUM1=9984\r\n"
           "SIJOU1=" +
           Sj("ＪＱ") +
           "\r\n"
           "KOSUU=2\r\n"
           "CHKOPENURL=1\r\n"
           "CHKGOTASK=0\r\n"
           "SELECTEDITEM=0\r\n"
           "[LINK_JOUHOU]\r\n"
           "BASE_URL=http://127.0.0.1:50505/q?s=" +
           Sj("銘柄.市場") +
           "\r\n"
           "OPEN_URL=http://127.0.0.1:50505/q?s=" +
           Sj("銘柄.市場") +
           "\r\n"
           "OPEN_NIKKEI_URL=http://127.0.0.1:50505/q?s=998407\r\n"
           "STOCK_LINK=Yahoo finance\r\n"
           "STOCK_NIKKEI=Yahoo" +
           Sj("日経") +
           "\r\n"
           "TOSYOU=t\r\n"
           "JASDAQ=q\r\n"
           "HERAKURESU=j\r\n"
           "OOSAKA=o\r\n"
           "NAGOYA=n\r\n"
           "HUKUOKA=f\r\n"
           "SAPPORO=s\r\n";
}

TEST(SettingsFile, MissingFileGivesDefaults) {
    test::TempDir dir;
    const SettingsData data = LoadSettingsData(SettingsPath(dir.folder()));
    EXPECT_TRUE(data.rows.empty());
    EXPECT_EQ(data.chkOpenUrl, 1);
    EXPECT_EQ(data.chkGoTask, 0);
    EXPECT_EQ(data.selectedItem, 0);
    EXPECT_EQ(data.baseUrl, "http://127.0.0.1:50505/q?s=" + Sj("銘柄.市場"));
    EXPECT_EQ(data.stockUrl, data.baseUrl);
    EXPECT_EQ(data.nikkeiUrl, "http://127.0.0.1:50505/q?s=998407");
    EXPECT_EQ(data.stockLabel, "Yahoo finance");
    EXPECT_EQ(data.nikkeiLabel, Sj("Yahoo日経"));
    EXPECT_EQ(data.suffixes, (SuffixTable{"t", "q", "j", "o", "n", "f", "s"}));
    EXPECT_EQ(data.patternTexts[0], "[key]_</tr><tr align=right>");
    EXPECT_EQ(data.patternTexts[6], Sj("[出来高]_<td nowrap>_</td>"));
    EXPECT_EQ(data, DefaultSettings());
}

TEST(SettingsFile, PathIsFolderPlusFileName) {
    EXPECT_EQ(SettingsPath("/opt/tickora/"), "/opt/tickora/base_data.ini");
}

TEST(SettingsFile, FileFromScratchHasExactBytes) {
    test::TempDir dir;
    SettingsData data = DefaultSettings();
    data.rows = {{"7203", Sj("東証")}, {"9984", Sj("ＪＱ")}};
    ASSERT_TRUE(SaveSettingsData(SettingsPath(dir.folder()), data));
    EXPECT_EQ(dir.Read("base_data.ini"), ScratchFile());
    EXPECT_EQ(LoadSettingsData(SettingsPath(dir.folder())), data);
}

TEST(SettingsFile, DeletingMiddleRowLeavesNoStaleKeys) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    dir.Write("base_data.ini",
              "[MEIGARA_DATA]\r\nKOSUU=3\r\nNUM0=1111\r\nSIJOU0=A\r\nNUM1=2222\r\nSIJOU1=B\r\n"
              "NUM2=3333\r\nSIJOU2=C\r\nCHKOPENURL=0\r\nCHKGOTASK=1\r\nSELECTEDITEM=2\r\n");
    SettingsData data = LoadSettingsData(path);
    ASSERT_EQ(data.rows, (std::vector<WatchRow>{{"1111", "A"}, {"2222", "B"}, {"3333", "C"}}));
    EXPECT_EQ(data.chkOpenUrl, 0);
    EXPECT_EQ(data.chkGoTask, 1);
    EXPECT_EQ(data.selectedItem, 2);

    data.rows.erase(data.rows.begin() + 1);
    ASSERT_TRUE(SaveSettingsData(path, data));
    const std::string saved = dir.Read("base_data.ini");
    EXPECT_NE(saved.find("[MEIGARA_DATA]\r\nNUM0=1111\r\nSIJOU0=A\r\nNUM1=3333\r\nSIJOU1=C\r\n"
                         "KOSUU=2\r\nCHKOPENURL=0\r\nCHKGOTASK=1\r\nSELECTEDITEM=2\r\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("NUM2"), std::string::npos);
    EXPECT_EQ(saved.find("SIJOU2"), std::string::npos);
    EXPECT_EQ(LoadSettingsData(path).rows, (std::vector<WatchRow>{{"1111", "A"}, {"3333", "C"}}));
}

TEST(SettingsFile, ListFollowsLinksWhenLinksComeFirst) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    dir.Write("base_data.ini",
              LinksSection() + "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=7203\r\nSIJOU0=X\r\n");
    ASSERT_TRUE(SaveSettingsData(path, LoadSettingsData(path)));
    const std::string saved = dir.Read("base_data.ini");
    const auto links = saved.find("[LINK_JOUHOU]");
    const auto list = saved.find("[MEIGARA_DATA]");
    ASSERT_NE(links, std::string::npos);
    ASSERT_NE(list, std::string::npos);
    EXPECT_LT(links, list);
    EXPECT_EQ(saved.find("[MEIGARA_DATA]", list + 1), std::string::npos);
    // A second save keeps the same order and the same bytes.
    ASSERT_TRUE(SaveSettingsData(path, LoadSettingsData(path)));
    EXPECT_EQ(dir.Read("base_data.ini"), saved);
}

TEST(SettingsFile, ForeignContentAndEditedPatternsSurviveSaves) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    const std::string edited = Sj("[現在値]_<td><strong>_</strong></td>");
    dir.Write("base_data.ini",
              "; my notes\r\n"
              "[OTHER]\r\nkeep = \"me\"\r\nno equals here\r\n\r\n"
              "[link_jouhou]\r\ngenzaiti=" +
                  edited + "\r\nTOSYOU=tt\r\n");
    for (int round = 0; round < 3; ++round) {
        const SettingsData data = LoadSettingsData(path);
        EXPECT_EQ(data.patternTexts[3], edited) << round;
        EXPECT_EQ(data.suffixes[0], "tt") << round;
        ASSERT_TRUE(SaveSettingsData(path, data));
    }
    const std::string saved = dir.Read("base_data.ini");
    EXPECT_TRUE(
        saved.starts_with("; my notes\r\n[OTHER]\r\nkeep = \"me\"\r\nno equals here\r\n\r\n"
                          "[link_jouhou]\r\ngenzaiti=" +
                          edited + "\r\nTOSYOU=tt\r\n"))
        << saved;
    // Pattern keys are never written, not even the absent ones.
    EXPECT_EQ(saved.find("meigaramei"), std::string::npos);
    EXPECT_EQ(saved.find("dekidaka"), std::string::npos);
}

TEST(SettingsFile, ValuesAreReadWithProfileRules) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    dir.Write("base_data.ini",
              "[Meigara_Data]\r\n"
              "  kosuu =  \"2\" \r\n"
              "NUM0 = " +
                  std::string(30, '7') +
                  "\r\n"
                  "sijou0=\"  " +
                  Sj("大証") +
                  "  \"\r\n"
                  "NUM1='1234'\r\n"
                  "CHKOPENURL=0abc\r\n"
                  "CHKGOTASK=x\r\n"
                  "SELECTEDITEM=99\r\n"
                  "[LINK_JOUHOU]\r\n"
                  "BASE_URL=  http://h/q?s=x  \r\n"
                  "TOSYOU=tttttt\r\n"
                  "JASDAQ=\"\"\r\n"
                  "STOCK_LINK=" +
                  std::string(600, 'L') +
                  "\r\n"
                  "key=" +
                  std::string(300, 'k') + "\r\n");
    const SettingsData data = LoadSettingsData(path);
    ASSERT_EQ(data.rows.size(), 2u);
    EXPECT_EQ(data.rows[0].code, std::string(24, '7'));
    EXPECT_EQ(data.rows[0].market, "  " + Sj("大証") + "  ");
    EXPECT_EQ(data.rows[1].code, "1234");
    EXPECT_EQ(data.rows[1].market, "");  // absent SIJOU1
    EXPECT_EQ(data.chkOpenUrl, 0);
    EXPECT_EQ(data.chkGoTask, 0);      // present but not a number: 0, not the default
    EXPECT_EQ(data.selectedItem, 99);  // past the last row, kept as it is
    EXPECT_EQ(data.baseUrl, "http://h/q?s=x");
    EXPECT_EQ(data.suffixes[0], "tttt");
    EXPECT_EQ(data.suffixes[1], "");
    EXPECT_EQ(data.suffixes[2], "j");
    EXPECT_EQ(data.stockLabel, std::string(511, 'L'));
    EXPECT_EQ(data.patternTexts[0], std::string(255, 'k'));
}

TEST(SettingsFile, RowCountRules) {
    const struct {
        std::string kosuu;  // the whole KOSUU line, empty for none
        std::size_t rows;
    } cases[] = {
        {"", 0},
        {"KOSUU=\r\n", 0},
        {"KOSUU=abc\r\n", 0},
        {"KOSUU=-4\r\n", 0},
        {"KOSUU=0\r\n", 0},
        {"KOSUU=3x\r\n", 3},
        {"KOSUU=20\r\n", 20},  // more than the 15 a list may be given: all loaded
        {"KOSUU=2147483647\r\n", static_cast<std::size_t>(kMaxLoadedRows)},
        {"KOSUU=99999999999\r\n", static_cast<std::size_t>(kMaxLoadedRows)},
        {"KOSUU=" + std::string(40, '9') + "\r\n", static_cast<std::size_t>(kMaxLoadedRows)},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        dir.Write("base_data.ini", "[MEIGARA_DATA]\r\n" + c.kosuu + "NUM0=1301\r\n");
        const SettingsData data = LoadSettingsData(SettingsPath(dir.folder()));
        ASSERT_EQ(data.rows.size(), c.rows) << c.kosuu;
        if (!data.rows.empty()) {
            EXPECT_EQ(data.rows[0].code, "1301") << c.kosuu;
        }
        if (data.rows.size() > 1) {
            EXPECT_EQ(data.rows[1].code, "") << c.kosuu;
        }
    }
}

TEST(SettingsFile, BrokenFileLoadsAndSaves) {
    test::TempDir dir;
    const std::string path = SettingsPath(dir.folder());
    const std::string garbage =
        "\xFF\xFE\x00\x81[MEIGARA_DATA\r\n=\r\n\x81\r\n"
        "[MEIGARA_DATA]\rKOSUU=5\n"
        "[MEIGARA_DATA]\nKOSUU=1\nNUM0=\x00zz\nloose line\n"
        "[LINK_JOUHOU]\nTOSYOU"s;
    dir.Write("base_data.ini", garbage);
    SettingsData data = LoadSettingsData(path);
    // "[MEIGARA_DATA]\rKOSUU=5" is one header line: its section has no KOSUU, and the
    // first section of a name is the only one read.
    EXPECT_TRUE(data.rows.empty());
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
