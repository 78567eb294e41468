#pragma once
// One watch-list row: nine CP932 texts, addressed by the column ids below.

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace tickora {

namespace ids {
inline constexpr int kColCode = 0;
inline constexpr int kColName = 1;
inline constexpr int kColMarket = 2;
inline constexpr int kColTime = 3;
inline constexpr int kColPrice = 4;
inline constexpr int kColChange = 5;
inline constexpr int kColRatio = 6;
inline constexpr int kColVolume = 7;
inline constexpr int kColMark = 8;
inline constexpr int kColumnCount = 9;
}  // namespace ids

using RowCells = std::array<std::string, ids::kColumnCount>;

// Some cells of one row: (column, text) pairs.
using CellWrites = std::vector<std::pair<int, std::string>>;

}  // namespace tickora
