#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include "../app/window_fixture.h"
#include "ui/dialog_units.h"
#include "ui/list_cell_delegate.h"

namespace tickora::test {
namespace {

// The list's own cell painter paints what the style paints, pixel for pixel: plain,
// coloured, filled, selected and elided texts, figures laid out from kept glyphs, and a focused
// cell, which goes to the style.
TEST(ListCells, PaintAsTheStylePaintsThem) {
    App();
    QStandardItemModel model(3, 3);
    const char* texts[] = {"15:00",    "東西精機株式会社の長い名前が入りきらない",
                           "+0.98%",   "7203",
                           "蒼穹海運", "-1.58%",
                           "",         "A&B <b>",
                           "1,234,500"};
    for (int i = 0; i < 9; ++i)
        model.setItem(i / 3, i % 3, new QStandardItem(QString::fromUtf8(texts[i])));
    model.item(0, 2)->setForeground(QColor(255, 0, 0));
    model.item(2, 0)->setBackground(QColor(200, 230, 255));
    const auto grab = [&](QAbstractItemDelegate* delegate, bool focused) {
        QTableView view;
        view.setModel(&model);
        view.setItemDelegate(delegate);
        view.setWordWrap(false);  // as the list has it
        view.resize(300, 120);
        view.setColumnWidth(1, 80);
        view.selectRow(1);
        if (focused) view.setCurrentIndex(model.index(2, 1));
        view.show();
        if (focused) view.setFocus();
        return view.grab().toImage();
    };
    for (const bool focused : {false, true}) {
        QStyledItemDelegate style;
        ListCellDelegate lean;
        EXPECT_EQ(grab(&lean, focused), grab(&style, focused)) << focused;
    }
}

// Today's figures show whole in the list's columns at the window's font, the columns keeping
// their widths: a figure too wide is drawn smaller, never below kMinFigureScale.
TEST(ListCells, FiguresOfTodayShowWholeInTheirColumns) {
    App();
    QTableView list;
    const QFont font = DialogFont();
    const struct {
        const char* figure;
        int column;  // width in pixels
    } cases[] = {{"12,930.0", 55}, {"26,890.58", 55}, {"-1,234.5", 55},
                 {"+16.72%", 55},  {"4,580円", 55},   {"123,456,700", 84}};
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.figure);
        const int width = ListCellDelegate::TextWidth(c.column, &list);
        const QFont drawn = ListCellDelegate::FontFor(text, font, width);
        EXPECT_LE(QFontMetricsF(drawn).horizontalAdvance(text), width) << c.figure;
        EXPECT_GE(drawn.pointSizeF(), font.pointSizeF() * ListCellDelegate::kMinFigureScale);
    }
    // A name is cut as before, not made smaller.
    const QString name = QString::fromUtf8("東西精機株式会社の長い名前が入りきらない");
    EXPECT_EQ(ListCellDelegate::FontFor(name, font, 80), font);
}

}  // namespace
}  // namespace tickora::test
