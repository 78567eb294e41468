#pragma once
// The program's persistent state in base_data.ini, and how it maps onto the ini file.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "alerts/alert_rules.h"
#include "quotes/page_settings.h"

namespace tickora {

// One watched stock as the file keeps it: the code (column 0) and the market's display
// name (column 2).
struct WatchRow {
    std::string code;
    std::string market;

    bool operator==(const WatchRow&) const = default;
};

// Rows loaded from KOSUU at most. A list the program builds never exceeds 15 rows, but a
// hand-edited file may hold more and they are loaded; the bound only stops an absurd count
// (2147483647) from turning into billions of lookups and an unbounded list.
inline constexpr int kMaxLoadedRows = 1000;

struct SettingsData {
    std::vector<WatchRow> rows;
    int chkOpenUrl = 1, chkGoTask = 0, selectedItem = 0;
    std::string stockUrl, nikkeiUrl, stockLabel, nikkeiLabel;
    PageSettings page;  // each suffix at most 4 bytes
    AlertTable alerts;  // [ALERTS], of listed stocks only

    bool operator==(const SettingsData&) const = default;
};

// What a missing file gives.
SettingsData DefaultSettings();
// refusal: set to why the file must not be written when it is there but cannot be read.
// notice: set to a hint for the user when the file looks saved in another encoding.
SettingsData LoadSettingsData(const std::string& path, std::string* refusal = nullptr,
                              std::string* notice = nullptr);
// Rewrites the watch list and links over the file's current content, keeping everything
// else in it, and saves it in one step; false, with the reason, when the file was left as it
// was. A pattern or rule is written only when it differs from what the file gives, so keys
// nobody changed stay exactly as the file holds them.
bool SaveSettingsData(const std::string& path, const SettingsData& data,
                      std::string* why = nullptr);
// Writes the patterns and, when given, the page rules into the file, leaving every other key
// as it is; false, with the reason, when the file was left as it was.
bool SavePageReading(const std::string& path, const PatternTexts& patterns,
                     const FigureTexts* rules, std::string* why = nullptr);
// folder ends in a separator.
std::string SettingsPath(std::string_view programFolder);

}  // namespace tickora
