#pragma once
// The watch list's rows: nine CP932 texts each, the row index being the row's identity.
// Every change raises the model signal that says exactly what changed, so the view keeps
// its selection and scroll position.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "common/row_cells.h"

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

    // Writes some cells of a row with one dataChanged over the cells whose text or colour
    // changed; nothing for a row that does not exist, nothing at all when no text changes.
    void SetCells(int row, const CellWrites& cells);
    // A new row at position row, clamped to the ends.
    void InsertAt(int row, const RowCells& cells);
    // false for a row that does not exist.
    bool RemoveAt(int row);
    // Moves row from so that it ends at index to; false when either does not exist or they
    // are the same.
    bool Move(int from, int to);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // The texts and what the view shows of them, converted once per write, not per paint.
    struct StoredRow {
        RowCells cells;
        std::array<QString, ids::kColumnCount> shown;
        std::array<QColor, ids::kColumnCount> colours;  // invalid: the list's normal colour
    };
    // A span of rows or columns, empty while first is -1.
    struct Span {
        int first = -1, last = -1;
        void Add(int at);
    };
    // The shown text of one cell, and the colours of all: a colour depends on the cells
    // before it in the row.
    static void Show(StoredRow& row, std::size_t column);
    static void Colour(StoredRow& row);
    bool Exists(int row) const { return row >= 0 && row < RowCount(); }
    // The columns whose text or colour changed.
    Span Write(int row, const CellWrites& cells);

    std::vector<StoredRow> rows_;
};

}  // namespace tickora
