#include "watchlist/settings_file.h"

#include <algorithm>

#include "alerts/alert_settings.h"
#include "common/codepage.h"
#include "common/endpoints.h"
#include "common/leading_int.h"
#include "common/market_table.h"
#include "common/sjis.h"
#include "watchlist/ini_file.h"

namespace tickora {

namespace {

constexpr const char* kListSection = "MEIGARA_DATA";
constexpr const char* kLinkSection = "LINK_JOUHOU";
// The index band's own pages, in its order.
constexpr const char* kIndexSection = "INDEX_PAGES";
constexpr std::array<const char*, 3> kIndexPageKeys = {"nikkei", "topix", "jasdaq"};

// Buffer sizes of the reads, terminating zero included.
constexpr std::size_t kRowBuffer = 25;
constexpr std::size_t kUrlBuffer = 512;
constexpr std::size_t kSuffixBuffer = 5;
constexpr std::size_t kPatternBuffer = 256;

std::string Numbered(const char* key, std::size_t d) {
    return key + std::to_string(d);
}

// A file an editor saved as UTF-8: valid UTF-8 beyond ASCII that is no CP932 text, or that
// spells one of the market names in UTF-8 (much UTF-8 Japanese also parses as CP932).
bool SavedAsUtf8(std::string_view bytes) {
    if (!IsNonAsciiUtf8(bytes)) return false;
    if (!IsCp932Text(bytes)) return true;
    return std::any_of(Markets().begin(), Markets().end(), [&](const MarketInfo& m) {
        return bytes.find(Cp932ToUtf8(m.displayName)) != std::string_view::npos;
    });
}

// What the ini read trims around a value.
bool IsIniBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

// The value as written, so that reading it gives text back byte for byte: a value the read
// would trim or unquote is put in quotes, of which the read takes off one pair.
std::string QuotedIfNeeded(const std::string& text) {
    const bool trimmed = !text.empty() && (IsIniBlank(text.front()) || IsIniBlank(text.back()));
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                        text.back() == text.front();
    return trimmed || quoted ? "\"" + text + "\"" : text;
}

// Writes key only when the file does not already give value for it.
void WriteIfChanged(IniFile& ini, const char* section, const char* key, const std::string& def,
                    std::size_t buffer, const std::string& value) {
    if (ini.GetString(section, key, def, buffer) != value)
        ini.WriteString(section, key, QuotedIfNeeded(value));
}

// The patterns, and the rules when given, each only where it differs from what the file gives.
void WritePageReading(IniFile& ini, const PatternTexts& patterns, const FigureTexts* rules) {
    for (int i = 0; i < kPatternCount; ++i)
        WriteIfChanged(ini, kLinkSection, PatternKey(i), DefaultPatternTexts()[i], kPatternBuffer,
                       patterns[i]);
    for (int f = 0; rules && f < kFigureCount; ++f)
        WriteIfChanged(ini, kRuleSection, FigureKey(f), "", kRuleBuffer, (*rules)[f]);
}

// The patterns, the page rules and the index pages.
void ReadPageReading(const IniFile& ini, PageSettings& page) {
    for (int i = 0; i < kPatternCount; ++i)
        page.m_arrPatternTexts[i] =
            ini.GetString(kLinkSection, PatternKey(i), DefaultPatternTexts()[i], kPatternBuffer);
    for (int f = 0; f < kFigureCount; ++f)
        page.m_arrRules[f] = ini.GetString(kRuleSection, FigureKey(f), "", kRuleBuffer);
    for (std::size_t i = 0; i < kIndexPageKeys.size(); ++i)
        page.m_arrIndexUrls[i] = ini.GetString(kIndexSection, kIndexPageKeys[i], "", kUrlBuffer);
}

std::vector<WatchRow> ReadRows(const IniFile& ini, int count) {
    std::vector<WatchRow> rows;
    const int n = std::clamp(count, 0, kMaxLoadedRows);
    rows.reserve(static_cast<std::size_t>(n));
    for (std::size_t d = 0; d < static_cast<std::size_t>(n); ++d)
        rows.push_back({ini.GetString(kListSection, Numbered("NUM", d), "", kRowBuffer),
                        ini.GetString(kListSection, Numbered("SIJOU", d), "", kRowBuffer)});
    return rows;
}

}  // namespace

SettingsData DefaultSettings() {
    SettingsData data;
    const std::string host = endpoints::kQuoteHost;
    data.page.m_strBaseUrl = host + Sj("/q?s=銘柄.市場");
    data.stockUrl = data.page.m_strBaseUrl;
    data.nikkeiUrl = host + "/q?s=998407";
    data.stockLabel = "Yahoo finance";
    data.nikkeiLabel = Sj("Yahoo日経");
    return data;
}

SettingsData LoadSettingsData(const std::string& path, std::string* refusal, std::string* notice) {
    FileRead read;
    const IniFile ini = IniFile::Load(path, &read);
    // A file that is there but could not be read must survive the session untouched.
    if (refusal && read.status != ReadStatus::Ok && read.status != ReadStatus::Missing)
        *refusal = read.why;
    if (notice && SavedAsUtf8(read.bytes))
        *notice =
            "it looks saved as UTF-8, while the program reads code page 932; convert it "
            "with: iconv -f UTF-8 -t CP932";
    const SettingsData defaults = DefaultSettings();
    SettingsData data;

    ReadPageReading(ini, data.page);
    data.chkOpenUrl = ini.GetInt(kListSection, "CHKOPENURL", defaults.chkOpenUrl);
    data.chkGoTask = ini.GetInt(kListSection, "CHKGOTASK", defaults.chkGoTask);
    const std::string count = ini.GetString(kListSection, "KOSUU", "", kRowBuffer);
    data.selectedItem = ini.GetInt(kListSection, "SELECTEDITEM", defaults.selectedItem);
    data.rows = ReadRows(ini, LeadingInt(count));
    data.alerts = ReadAlerts(ini, data.rows);

    data.page.m_strBaseUrl =
        ini.GetString(kLinkSection, "BASE_URL", defaults.page.m_strBaseUrl, kUrlBuffer);
    data.stockUrl = ini.GetString(kLinkSection, "OPEN_URL", defaults.stockUrl, kUrlBuffer);
    data.nikkeiUrl = ini.GetString(kLinkSection, "OPEN_NIKKEI_URL", defaults.nikkeiUrl, kUrlBuffer);
    data.stockLabel = ini.GetString(kLinkSection, "STOCK_LINK", defaults.stockLabel, kUrlBuffer);
    data.nikkeiLabel =
        ini.GetString(kLinkSection, "STOCK_NIKKEI", defaults.nikkeiLabel, kUrlBuffer);

    for (std::size_t i = 0; i < data.page.m_szSuffix.size(); ++i) {
        const auto& market = Markets()[i];
        data.page.m_szSuffix[i] =
            ini.GetString(kLinkSection, market.settingsKey, market.defaultSuffix, kSuffixBuffer);
    }
    return data;
}

bool SaveSettingsData(const std::string& path, const SettingsData& data, std::string* why) {
    FileRead read;
    IniFile ini = IniFile::Load(path, &read);
    if (read.status != ReadStatus::Ok && read.status != ReadStatus::Missing) {
        if (why) *why = read.why;
        return false;
    }

    // Rows deleted since the start must not survive as stale NUMd/SIJOUd keys.
    ini.DeleteSection(kListSection);
    for (std::size_t d = 0; d < data.rows.size(); ++d) {
        ini.WriteString(kListSection, Numbered("NUM", d), data.rows[d].code);
        ini.WriteString(kListSection, Numbered("SIJOU", d), data.rows[d].market);
    }
    ini.WriteString(kListSection, "KOSUU", std::to_string(data.rows.size()));
    ini.WriteString(kListSection, "CHKOPENURL", std::to_string(data.chkOpenUrl));
    ini.WriteString(kListSection, "CHKGOTASK", std::to_string(data.chkGoTask));
    ini.WriteString(kListSection, "SELECTEDITEM", std::to_string(data.selectedItem));
    WriteAlerts(ini, data.rows, data.alerts);

    ini.WriteString(kLinkSection, "BASE_URL", data.page.m_strBaseUrl);
    ini.WriteString(kLinkSection, "OPEN_URL", data.stockUrl);
    ini.WriteString(kLinkSection, "OPEN_NIKKEI_URL", data.nikkeiUrl);
    ini.WriteString(kLinkSection, "STOCK_LINK", data.stockLabel);
    ini.WriteString(kLinkSection, "STOCK_NIKKEI", data.nikkeiLabel);
    for (std::size_t i = 0; i < data.page.m_szSuffix.size(); ++i) {
        ini.WriteString(kLinkSection, Markets()[i].settingsKey, data.page.m_szSuffix[i]);
    }
    WritePageReading(ini, data.page.m_arrPatternTexts, &data.page.m_arrRules);
    for (std::size_t i = 0; i < kIndexPageKeys.size(); ++i)
        WriteIfChanged(ini, kIndexSection, kIndexPageKeys[i], "", kUrlBuffer,
                       data.page.m_arrIndexUrls[i]);
    return ini.Save(path, why);
}

bool SavePageReading(const std::string& path, const PatternTexts& patterns,
                     const FigureTexts* rules, std::string* why) {
    FileRead read;
    IniFile ini = IniFile::Load(path, &read);
    if (read.status != ReadStatus::Ok && read.status != ReadStatus::Missing) {
        if (why) *why = read.why;
        return false;
    }
    WritePageReading(ini, patterns, rules);
    return ini.Save(path, why);
}

std::string SettingsPath(std::string_view programFolder) {
    return std::string(programFolder) + "base_data.ini";
}

}  // namespace tickora
