#pragma once
#include <array>
#include <optional>
#include <string_view>

#include "common/row_cells.h"

namespace tickora {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kIndexUp{255, 64, 64};
inline constexpr Rgb kIndexDown{64, 255, 255};
inline constexpr Rgb kCellUp{255, 20, 20};
inline constexpr Rgb kCellDown{20, 20, 255};

// Colour of an index change static: '-' cyan, else '+' red, else white.
Rgb IndexChangeColour(std::string_view text);

// Text colour of each cell of a row; nullopt means the list's normal colours. A cell that
// decides nothing takes the colour of the cell before it in the row, the volume column
// starts from the normal colours again.
std::array<std::optional<Rgb>, ids::kColumnCount> RowTextColours(const RowCells& cells);

// Colour of the home-page label for a hover state (0, 50 or 255).
inline constexpr Rgb LinkColour(int hover) {
    return {50, 50, hover};
}
inline constexpr int kLinkHoverOff = 50;
inline constexpr int kLinkHoverOn = 255;

}  // namespace tickora
