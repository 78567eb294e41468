#pragma once
// The watch list's rows: nine CP932 texts each, the row index being the row's identity.

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "tray/tray_tip.h"

namespace tickora {

class WatchListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit WatchListModel(QObject* parent = nullptr);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // The text of a cell as a C string; empty for a cell that does not exist.
    std::string Cell(int row, int column) const;
    // All nine texts of a row; empty texts for a row that does not exist.
    RowCells Row(int row) const;
    // Writes nothing when the row or column does not exist.
    void SetCell(int row, int column, std::string_view text);
    // Several cells of a row, with one repaint of the row.
    void SetCells(int row, const std::vector<std::pair<int, std::string>>& cells);
    // At position row (clamped to the ends), with the code and market columns set.
    void InsertRow(int row, std::string_view code, std::string_view market);
    void InsertRow(int row, const RowCells& cells);
    void RemoveRow(int row);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<RowCells> rows_;
};

}  // namespace tickora
