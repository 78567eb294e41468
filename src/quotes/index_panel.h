#pragma once
#include <array>
#include <string>

#include "quotes/refresh_pass.h"

namespace tickora {

struct IndexInfo {
    const char* code;
    std::string label;  // CP932
    int lineId;
    int changeId;
};

// 日経平均 998407, TOPIX 998405, JASDAQ 23337, in fetch order.
const std::array<IndexInfo, 3>& Indices();

// "%s ( %s ) %s" and " %s " when the value begins with a positive number; otherwise
// both texts stay as they are (returns false).
bool FormatIndexTexts(const IndexInfo& index, const std::string& result, std::string& line,
                      std::string& change);

// Fetches the three indices and writes the statics that have a valid value.
void RefreshIndexPanel(RefreshView& view, const RefreshConfig& config);

}  // namespace tickora
