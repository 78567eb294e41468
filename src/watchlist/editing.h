#pragma once
// The rules of editing the watch list: what Add does with the entry row, where a new row
// goes, which row is selected after a delete, and where a dragged row lands.

#include <optional>
#include <string>
#include <string_view>

namespace tickora {

enum class AddCheck {
    Ignore,   // the code is shorter than 4 bytes: nothing happens, nothing is shown
    TooMany,  // the list is full: TooManyRowsText()
    NoData,   // the preview found no positive price: NoDataText()
    Add,
};

// The checks in their order: code length, then the limit of 15 rows, then the price.
AddCheck CheckAdd(std::string_view code, int rowCount, std::string_view priceText);

// Preview texts are taken at most this long (a 25-byte text buffer).
inline constexpr std::size_t kPreviewTextBytes = 24;

// "登録できるアイテム数は15個までです。" and "データが見つかりません　　", CP932.
const std::string& TooManyRowsText();
const std::string& NoDataText();

// A new row goes in front of the selected row, or at the end when none is selected.
int InsertPosition(int selectedRow, int rowCount);

// After row deleted went, the row that takes its place is selected, or the new last row;
// -1 when the list is empty.
int SelectionAfterDelete(int deleted, int rowCountAfter);

// Where a row dragged from row `from` and dropped on row `hit` ends (dragged down it lands
// just after the row dropped on, dragged up just before it, so at index hit either way);
// nullopt when nothing moves: a drop off the rows (hit -1) or on the row itself.
std::optional<int> DropTarget(int from, int hit);

enum class DragScroll { None, Up, Down };
// The list scrolls while a drag holds the pointer within the top 10 pixels of the window's
// client area or above it, or more than 5 pixels below the window's lower edge; y and
// windowBottom are in the window's client coordinates.
DragScroll DragScrollFor(int y, int windowBottom);

}  // namespace tickora
