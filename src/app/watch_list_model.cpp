#include "app/watch_list_model.h"

#include <QColor>
#include <algorithm>

#include "app/dialog_layout.h"
#include "common/codepage.h"
#include "common/sjis.h"
#include "ui/colour_rules.h"

namespace tickora {

WatchListModel::WatchListModel(QObject* parent) : QAbstractTableModel(parent) {}

std::string WatchListModel::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ids::kColumnCount) return {};
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

RowCells WatchListModel::Row(int row) const {
    if (row < 0 || row >= RowCount()) return {};
    return rows_[static_cast<std::size_t>(row)];
}

void WatchListModel::SetCell(int row, int column, std::string_view text) {
    SetCells(row, {{column, std::string(text)}});
}

void WatchListModel::SetCells(int row, const std::vector<std::pair<int, std::string>>& cells) {
    if (row < 0 || row >= RowCount()) return;
    bool changed = false;
    for (const auto& [column, text] : cells) {
        if (column < 0 || column >= ids::kColumnCount) continue;
        std::string& cell = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        const std::string_view value = UpToNul(text);
        if (cell == value) continue;
        cell = value;
        changed = true;
    }
    // A cell's colour depends on the cells before it in its row, so the whole row repaints.
    if (changed) emit dataChanged(index(row, 0), index(row, ids::kColumnCount - 1));
}

void WatchListModel::InsertRow(int row, std::string_view code, std::string_view market) {
    RowCells cells;
    cells[ids::kColCode] = UpToNul(code);
    cells[ids::kColMarket] = UpToNul(market);
    InsertRow(row, cells);
}

void WatchListModel::InsertRow(int row, const RowCells& cells) {
    row = std::clamp(row, 0, RowCount());
    beginInsertRows({}, row, row);
    RowCells stored;
    for (std::size_t c = 0; c < stored.size(); ++c) stored[c] = UpToNul(cells[c]);
    rows_.insert(rows_.begin() + row, std::move(stored));
    endInsertRows();
}

void WatchListModel::RemoveRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void WatchListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int WatchListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int WatchListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ids::kColumnCount;
}

QVariant WatchListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= RowCount()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(Cp932ToUtf8(rows_[row][column]));
    case Qt::ForegroundRole: {
        const auto colour = RowTextColours(rows_[row])[column];
        if (!colour) return {};
        return QColor(colour->r, colour->g, colour->b);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant WatchListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ids::kColumnCount) return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kListColumns[static_cast<std::size_t>(section)].header);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

}  // namespace tickora
