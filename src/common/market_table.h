#pragma once
#include <array>
#include <string>
#include <string_view>

namespace tickora {

struct MarketInfo {
    std::string displayName;  // CP932
    const char* settingsKey;
    const char* defaultSuffix;
};

inline constexpr int kMarketCount = 7;

// The seven markets in selector order: 東証, ＪＱ, ＨＣ, 大証, 名証, 福岡, 札幌.
const std::array<MarketInfo, kMarketCount>& Markets();

// Position of the first market whose display name begins with name, compared without
// regard to ASCII case, as a list-box prefix search does; -1 when none does.
int FindMarketByPrefix(std::string_view name);

}  // namespace tickora
