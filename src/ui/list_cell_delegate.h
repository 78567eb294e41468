#pragma once
// Paints the watch list's cells as the style paints a plain text cell (selection, colour,
// eliding, margins), without the style's general item layout, which shapes every text three
// times; each text is shaped once and kept while it is shown.

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace tickora {

class ListCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    // The shaped text of a cell by its text and width; cleared when it grows past the texts a
    // full list can show.
    mutable QHash<QString, QStaticText> shaped_;
};

}  // namespace tickora
