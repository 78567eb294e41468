#pragma once
// Where each field of a quote stands in the window: its column in the watch list and its
// edit in the entry row. The window's side alone uses it; a pass hands over whole quotes.

#include <array>

#include "common/control_ids.h"
#include "common/quote.h"
#include "common/row_cells.h"

namespace tickora {

struct QuotePlace {
    std::string Quote::*field;
    int column;
    int entryEdit;
};

inline constexpr std::array<QuotePlace, 7> kQuotePlaces = {{
    {&Quote::name, ids::kColName, ids::kNameEdit},
    {&Quote::time, ids::kColTime, ids::kTimeEdit},
    {&Quote::price, ids::kColPrice, ids::kPriceEdit},
    {&Quote::change, ids::kColChange, ids::kChangeEdit},
    {&Quote::ratio, ids::kColRatio, ids::kRatioEdit},
    {&Quote::volume, ids::kColVolume, ids::kVolumeEdit},
    {&Quote::mark, ids::kColMark, ids::kMarkEdit},
}};

// The cells a quote writes into its row.
inline CellWrites CellsOf(const Quote& quote) {
    CellWrites cells;
    cells.reserve(kQuotePlaces.size());
    for (const QuotePlace& place : kQuotePlaces)
        cells.emplace_back(place.column, quote.*place.field);
    return cells;
}

// The index band's two statics per index, in Indices() order.
struct IndexPlace {
    int line, change;
};
inline constexpr std::array<IndexPlace, 3> kIndexPlaces = {{
    {ids::kNikkeiLine, ids::kNikkeiChange},
    {ids::kTopixLine, ids::kTopixChange},
    {ids::kJasdaqLine, ids::kJasdaqChange},
}};

}  // namespace tickora
