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
// The columns' titles (UTF-8), which also name the controls that show a column's figure.
inline constexpr std::array<const char*, kColumnCount> kColumnTitles = {
    "No.", "銘柄", "市場", "更新時", "現在値", "前日差", "変化率", "出来高", "増減"};
}  // namespace ids

using RowCells = std::array<std::string, ids::kColumnCount>;

// Some cells of one row: (column, text) pairs.
using CellWrites = std::vector<std::pair<int, std::string>>;

}  // namespace tickora
