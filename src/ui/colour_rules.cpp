#include "ui/colour_rules.h"

#include "common/quote.h"
#include "common/sjis.h"

namespace tickora {

Rgb IndexChangeColour(std::string_view text) {
    if (Contains(text, "-")) return kIndexDown;
    if (Contains(text, "+")) return kIndexUp;
    return kWhite;
}

std::array<std::optional<Rgb>, ids::kColumnCount> RowTextColours(const RowCells& cells) {
    std::array<std::optional<Rgb>, ids::kColumnCount> colours;
    std::optional<Rgb> current;  // carried from cell to cell, as the list does
    for (int c = 0; c < ids::kColumnCount; ++c) {
        const std::string_view text = UpToNul(cells[static_cast<std::size_t>(c)]);
        if (c == ids::kColChange || c == ids::kColRatio) {
            if (Contains(text, "+"))
                current = kCellUp;
            else if (Contains(text, "-"))
                current = kCellDown;
        } else if (c == ids::kColVolume) {
            current.reset();
        } else if (c == ids::kColMark) {
            if (text == RiseMark())
                current = kCellUp;
            else if (text == FallMark())
                current = kCellDown;
        }
        colours[static_cast<std::size_t>(c)] = current;
    }
    return colours;
}

}  // namespace tickora
