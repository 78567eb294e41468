#pragma once
#include <array>
#include <optional>
#include <string>

#include "quotes/refresh_pass.h"

namespace tickora {

struct IndexInfo {
    const char* code;
    std::string label;  // CP932
};

// 日経平均 998407, TOPIX 998405, JASDAQ 23337, in fetch order.
const std::array<IndexInfo, 3>& Indices();

// "%s ( %s ) %s" and " %s " when the value begins with a positive number; nullopt
// otherwise, and the band keeps what it shows.
std::optional<IndexTexts> FormatIndexTexts(const IndexInfo& index, const std::string& result);

// Fetches the three indices and shows those that have a valid value.
void RefreshIndexPanel(RefreshView& view, const RefreshConfig& config, const PageReading& reading);

}  // namespace tickora
