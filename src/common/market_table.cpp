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

int FindMarketByPrefix(std::string_view name) {
    const auto& markets = Markets();
    for (int i = 0; i < kMarketCount; ++i)
        if (StartsWithNoCase(markets[static_cast<std::size_t>(i)].displayName, name)) return i;
    return -1;
}

}  // namespace tickora
