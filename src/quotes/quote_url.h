#pragma once
#include <array>
#include <string>
#include <string_view>

#include "common/market_table.h"

namespace tickora {

// The seven market suffixes in market order, each at most 4 bytes.
using SuffixTable = std::array<std::string, kMarketCount>;
SuffixTable DefaultSuffixes();

// The quote URL of one code: every "銘柄" becomes the code; a 4-byte code also gets every
// "市場" replaced by its market's suffix, any other code loses the URL's last 5 bytes.
// A market index outside the table (a hand-edited market name) uses an empty suffix.
std::string ExpandQuoteUrl(std::string_view baseUrl, const SuffixTable& suffixes,
                           std::string_view code, int marketIndex);

// Placeholders of URL templates, CP932.
const std::string& CodePlaceholder();    // 銘柄
const std::string& MarketPlaceholder();  // 市場

}  // namespace tickora
