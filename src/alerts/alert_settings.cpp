#include "alerts/alert_settings.h"

#include <cmath>
#include <cstdio>
#include <set>

#include "common/market_table.h"

namespace tickora {

namespace {

constexpr std::size_t kValueBuffer = 256;

std::string Escaped(std::string_view text, bool keepSafe) {
    std::string out;
    for (const char c : text) {
        const bool safe = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
        if (safe && keepSafe) {
            out += c;
            continue;
        }
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
        out += hex;
    }
    return out;
}

}  // namespace

std::string AlertKey(const StockId& stock) {
    for (const MarketInfo& market : Markets())
        if (market.displayName == stock.market)
            return Escaped(stock.code, true) + "." + market.settingsKey;
    return Escaped(stock.code, true) + "." + Escaped(stock.market, false);
}

std::string AlertValue(const AlertLimits& limits) {
    std::string value;
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        if (k > 0) value += ',';
        if (limits.values[k]) value += PlainNumber(*limits.values[k]);
    }
    return value;
}

std::optional<AlertLimits> ParseAlertValue(std::string_view value) {
    AlertLimits limits;
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        const std::size_t comma = value.find(',');
        if ((comma == std::string_view::npos) != (k + 1 == kAlertKinds)) return std::nullopt;
        const std::string_view part = value.substr(0, comma);
        value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
        if (part.find_first_not_of(" \t") == std::string_view::npos) continue;
        limits.values[k] = ParseFigure(part, false);
        if (!limits.values[k]) return std::nullopt;
    }
    // The ratio is compared by its size, whichever sign it was given.
    if (auto& ratio = limits[AlertKind::Ratio]) ratio = std::fabs(*ratio);
    if (!limits.Any()) return std::nullopt;
    return limits;
}

AlertTable ReadAlerts(const IniFile& ini, const std::vector<WatchRow>& rows) {
    AlertTable alerts;
    for (const WatchRow& row : rows) {
        const StockId stock{row.code, row.market};
        const std::string value = ini.GetString(kAlertSection, AlertKey(stock), "", kValueBuffer);
        if (const std::optional<AlertLimits> limits = ParseAlertValue(value))
            alerts[stock] = *limits;
    }
    return alerts;
}

void WriteAlerts(IniFile& ini, const std::vector<WatchRow>& rows, const AlertTable& alerts) {
    ini.DeleteSection(kAlertSection);
    std::set<StockId> written;
    for (const WatchRow& row : rows) {
        const StockId stock{row.code, row.market};
        const auto it = alerts.find(stock);
        if (it == alerts.end() || !it->second.Any() || !written.insert(stock).second) continue;
        ini.WriteString(kAlertSection, AlertKey(stock), AlertValue(it->second));
    }
}

}  // namespace tickora
