#include "alerts/alert_settings.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "temp_dir.h"

namespace tickora {
namespace {

AlertLimits Limits(std::optional<double> upper, std::optional<double> lower,
                   std::optional<double> ratio) {
    return AlertLimits{{upper, lower, ratio}};
}

using test::TempDir;

// The keys of [ALERTS] in a file, up to the next section; "" without one.
std::string AlertSection(const std::string& bytes) {
    const std::size_t header = bytes.find("[ALERTS]\r\n");
    if (header == std::string::npos) return "";
    const std::size_t start = header + 10, next = bytes.find("\r\n[", start);
    return bytes.substr(start, next == std::string::npos ? next : next + 2 - start);
}

// Saved over a file that holds a section of someone else's, then rows moved and deleted: the
// section holds exactly the listed stocks with an alert, and everything else stays.
TEST(AlertSettings, AlertsFollowTheirStocksThroughMovesAndDeletions) {
    const WatchRow a{"8058", Sj("東証")}, b{"7203", Sj("東証")}, c{"6758", Sj("大証")},
        d{"130A", Sj("東証")};
    const AlertTable alerts = {{{a.code, a.market}, Limits(4700, {}, {})},
                               {{c.code, c.market}, Limits({}, 1200.5, 5)},
                               {{d.code, d.market}, Limits({}, {}, 3)},
                               {{"9999", Sj("東証")}, Limits(1, {}, {})}};  // not listed
    struct Case {
        const char* name;
        std::vector<WatchRow> rows;
        const char* section;
    } cases[] = {
        {"as listed",
         {a, b, c, d},
         "8058.TOSYOU=4700,,\r\n6758.OOSAKA=,1200.5,5\r\n130A.TOSYOU=,,3\r\n"},
        {"moved",
         {d, c, b, a},
         "130A.TOSYOU=,,3\r\n6758.OOSAKA=,1200.5,5\r\n8058.TOSYOU=4700,,\r\n"},
        {"one deleted", {d, b, a}, "130A.TOSYOU=,,3\r\n8058.TOSYOU=4700,,\r\n"},
        {"none with an alert", {b}, ""},
    };
    TempDir dir;
    const std::string path = dir.file("base_data.ini");
    const std::string other = "[OTHER]\r\nx = \"kept\" ;as it is\r\n";
    dir.Write("base_data.ini", other + "[ALERTS]\r\n7203.TOSYOU=1,2,3\r\n");
    for (const Case& step : cases) {
        SettingsData data = DefaultSettings();
        data.rows = step.rows;
        data.alerts = alerts;
        ASSERT_TRUE(SaveSettingsData(path, data)) << step.name;
        const std::string bytes = dir.Read("base_data.ini");
        EXPECT_EQ(AlertSection(bytes), step.section) << step.name;
        EXPECT_EQ(bytes.substr(0, other.size()), other) << step.name;
        AlertTable expected;
        for (const WatchRow& row : step.rows)
            if (alerts.contains({row.code, row.market}))
                expected[{row.code, row.market}] = alerts.at({row.code, row.market});
        EXPECT_EQ(LoadSettingsData(path).alerts, expected) << step.name;
    }
}

TEST(AlertSettings, KeysAreUniqueAndSafeAndBrokenValuesAreSkipped) {
    EXPECT_EQ(AlertKey({"8058", Sj("ＪＱ")}), "8058.JASDAQ");
    EXPECT_EQ(AlertKey({"130a", Sj("東証")}), "130%61.TOSYOU");  // not 130A to a case-blind read
    EXPECT_EQ(AlertKey({"8.0=5", Sj("東証")}), "8%2E0%3D5.TOSYOU");
    EXPECT_EQ(AlertKey({"8058", "NY"}), "8058.%4E%59");
    struct Case {
        const char* value;
        std::optional<AlertLimits> limits;
    } cases[] = {
        {"4700,,", Limits(4700, {}, {})},
        {" , 12.5 ,-3", Limits({}, 12.5, 3)},
        {",,", {}},
        {"4700", {}},
        {"4700,,,", {}},
        {"4,700,,", {}},
        {"abc,,", {}},
        {"1,2,x", {}},
        {"", {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        dir.Write("base_data.ini", "[MEIGARA_DATA]\r\nNUM0=8058\r\nSIJOU0=" + Sj("東証") +
                                       "\r\nKOSUU=1\r\n[ALERTS]\r\n8058.tosyou=" + c.value +
                                       "\r\n");
        const AlertTable alerts = LoadSettingsData(dir.file("base_data.ini")).alerts;
        const auto it = alerts.find({"8058", Sj("東証")});
        EXPECT_EQ(it == alerts.end() ? std::nullopt : std::optional(it->second), c.limits)
            << c.value;
    }
}

}  // namespace
}  // namespace tickora
