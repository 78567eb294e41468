#include "watchlist/editing.h"

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/leading_int.h"

namespace tickora {

AddCheck CheckAdd(std::string_view code, int rowCount, std::string_view priceText) {
    if (code.size() < 4) return AddCheck::Ignore;
    if (rowCount >= ids::kMaxRows) return AddCheck::TooMany;
    if (LeadingInt(priceText) <= 0) return AddCheck::NoData;
    return AddCheck::Add;
}

const std::string& TooManyRowsText() {
    static const std::string text = Sj("登録できるアイテム数は15個までです。");
    return text;
}

const std::string& NoDataText() {
    static const std::string text = Sj("データが見つかりません　　");
    return text;
}

int InsertPosition(int selectedRow, int rowCount) {
    return selectedRow >= 0 && selectedRow < rowCount ? selectedRow : rowCount;
}

int SelectionAfterDelete(int deleted, int rowCountAfter) {
    if (rowCountAfter <= 0) return -1;
    return deleted < rowCountAfter ? deleted : rowCountAfter - 1;
}

std::optional<int> DropTarget(int from, int hit) {
    if (hit < 0 || hit == from) return std::nullopt;
    return hit;
}

DragScroll DragScrollFor(int y, int windowBottom) {
    if (y < 10) return DragScroll::Up;
    if (y > windowBottom + 5) return DragScroll::Down;
    return DragScroll::None;
}

}  // namespace tickora
