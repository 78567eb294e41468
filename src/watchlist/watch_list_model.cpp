#include "watchlist/watch_list_model.h"

#include <algorithm>
#include <utility>

#include "common/codepage.h"
#include "common/quote.h"
#include "common/sjis.h"
#include "ui/colour_rules.h"
#include "ui/plain_text.h"

namespace tickora {

WatchListModel::WatchListModel(QObject* parent) : QAbstractTableModel(parent) {}

void WatchListModel::Show(StoredRow& row, std::size_t column) {
    row.shown[column] = Shown(row.cells[column]);
}

void WatchListModel::Colour(StoredRow& row) {
    const auto colours = RowTextColours(row.cells);
    for (std::size_t c = 0; c < row.cells.size(); ++c)
        row.colours[c] =
            colours[c] ? QColor(colours[c]->r, colours[c]->g, colours[c]->b) : QColor();
}

std::string WatchListModel::Cell(int row, int column) const {
    if (!Exists(row) || column < 0 || column >= ids::kColumnCount) return {};
    return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

RowCells WatchListModel::Row(int row) const {
    return Exists(row) ? rows_[static_cast<std::size_t>(row)].cells : RowCells{};
}

void WatchListModel::Span::Add(int at) {
    first = first < 0 ? at : std::min(first, at);
    last = std::max(last, at);
}

WatchListModel::Span WatchListModel::Write(int row, const CellWrites& cells) {
    Span changed;
    if (!Exists(row)) return changed;
    StoredRow& stored = rows_[static_cast<std::size_t>(row)];
    for (const auto& [column, text] : cells) {
        if (column < 0 || column >= ids::kColumnCount) continue;
        std::string& cell = stored.cells[static_cast<std::size_t>(column)];
        const std::string_view value = UpToNul(text);
        if (cell == value) continue;
        cell = value;
        Show(stored, static_cast<std::size_t>(column));
        changed.Add(column);
    }
    if (changed.first < 0) return changed;
    // A cell's colour depends on the cells before it in its row: one unwritten may change.
    const auto colours = stored.colours;
    Colour(stored);
    for (int c = 0; c < ids::kColumnCount; ++c)
        if (stored.colours[static_cast<std::size_t>(c)] != colours[static_cast<std::size_t>(c)])
            changed.Add(c);
    return changed;
}

void WatchListModel::SetCells(int row, const CellWrites& cells) {
    if (const Span columns = Write(row, cells); columns.first >= 0)
        emit dataChanged(index(row, columns.first), index(row, columns.last));
}

void WatchListModel::InsertAt(int row, const RowCells& cells) {
    row = std::clamp(row, 0, RowCount());
    StoredRow stored;
    for (std::size_t c = 0; c < stored.cells.size(); ++c) {
        stored.cells[c] = UpToNul(cells[c]);
        Show(stored, c);
    }
    Colour(stored);
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, std::move(stored));
    endInsertRows();
}

bool WatchListModel::RemoveAt(int row) {
    if (!Exists(row)) return false;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return true;
}

bool WatchListModel::Move(int from, int to) {
    if (!Exists(from) || !Exists(to) || from == to) return false;
    // The destination is counted before the move: one past the target when moving down.
    if (!beginMoveRows({}, from, from, {}, to > from ? to + 1 : to)) return false;
    auto first = rows_.begin() + from;
    auto last = rows_.begin() + to;
    if (to > from)
        std::rotate(first, first + 1, last + 1);
    else
        std::rotate(last, first, first + 1);
    endMoveRows();
    return true;
}

void WatchListModel::Clear() {
    if (rows_.empty()) return;
    beginRemoveRows({}, 0, RowCount() - 1);
    rows_.clear();
    rows_.shrink_to_fit();
    endRemoveRows();
}

int WatchListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int WatchListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ids::kColumnCount;
}

namespace {
QString MarkWords(const std::string& mark) {
    if (mark == RiseMark()) return QString::fromUtf8("上昇");
    if (mark == FallMark()) return QString::fromUtf8("下落");
    return mark == FlatMark() ? QString::fromUtf8("変わらず") : QString();
}
}  // namespace

QVariant WatchListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const StoredRow& row = rows_[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return row.shown[column];
        case Qt::AccessibleTextRole:
            // The mark as a word: a screen reader reads "△" as a triangle.
            return column == ids::kColMark ? MarkWords(row.cells[column]) : row.shown[column];
        case Qt::ForegroundRole:
            return row.colours[column].isValid() ? QVariant(row.colours[column]) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant WatchListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ids::kColumnCount) return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(ids::kColumnTitles[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

}  // namespace tickora
