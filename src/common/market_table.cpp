#include "common/market_table.h"

#include "common/codepage.h"
#include "common/sjis.h"

namespace tickora {

const std::array<MarketInfo, kMarketCount>& Markets() {
    static const std::array<MarketInfo, kMarketCount> table = {{
        {Sj("東証"), "TOSYOU", "t"},
        {Sj("ＪＱ"), "JASDAQ", "q"},
        {Sj("ＨＣ"), "HERAKURESU", "j"},
        {Sj("大証"), "OOSAKA", "o"},
        {Sj("名証"), "NAGOYA", "n"},
        {Sj("福岡"), "HUKUOKA", "f"},
        {Sj("札幌"), "SAPPORO", "s"},
    }};
    return table;
}

namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Prefix test that folds ASCII case only outside double-byte characters.
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (text[i] != prefix[i]) return false;
            if (++i < prefix.size() && text[i] != prefix[i]) return false;
            continue;
        }
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    }
    return true;
}
}  // namespace

int FindMarketByPrefix(std::string_view name) {
    const auto& markets = Markets();
    for (int i = 0; i < kMarketCount; ++i)
        if (StartsWithNoCase(markets[static_cast<std::size_t>(i)].displayName, name)) return i;
    return -1;
}

}  // namespace tickora
