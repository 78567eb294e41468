#pragma once
// [ALERTS] of base_data.ini: one key per listed stock that has an alert, named by code and
// market ("8058.TOSYOU"), its value the three thresholds "上限,下限,変化率" with an empty part
// for none ("4700,,5").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alerts/alert_rules.h"
#include "watchlist/ini_file.h"
#include "watchlist/settings_file.h"

namespace tickora {

inline constexpr const char* kAlertSection = "ALERTS";

// Code, a dot, then the market's settings key. Bytes other than digits, capitals, '-' and '_'
// are written %XX, so the key stays one safe ini name and differs wherever the ini layer's
// case-blind compare would not tell two stocks apart. A market that is none of the seven is
// written %XX byte by byte.
std::string AlertKey(const StockId& stock);
std::string AlertValue(const AlertLimits& limits);
// nullopt for a value that is not three parts, each empty or a number, or that sets nothing.
std::optional<AlertLimits> ParseAlertValue(std::string_view value);

// The alerts of the listed stocks; a value someone broke by hand is skipped.
AlertTable ReadAlerts(const IniFile& ini, const std::vector<WatchRow>& rows);
// The section anew: the alerts of the listed stocks, nothing for the rest.
void WriteAlerts(IniFile& ini, const std::vector<WatchRow>& rows, const AlertTable& alerts);

}  // namespace tickora
