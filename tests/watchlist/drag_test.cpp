#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "../app/window_fixture.h"
#include "common/control_ids.h"

namespace tickora::test {
namespace {

class DragTest : public WindowTest {
  public:
    QWidget* Viewport() { return List()->viewport(); }
    QPoint RowPoint(int row) { return List()->visualRect(Model().index(row, 1)).center(); }
    // A real drag's start: press on a row and move past the drag distance.
    void BeginDrag(int row) {
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, RowPoint(row));
        QTest::mouseMove(Viewport(), RowPoint(row) + QPoint(0, 12));
        ASSERT_TRUE(P().Dragging());
    }
};

TEST_F(DragTest, DropsLandOnTheTargetRowOrChangeNothing) {
    const char* four = "1111,2222,3333,4444";
    enum OffTheRows { kBelow = -1, kHeader = -2, kOutside = -3, kJustAcross = -4 };
    const struct {
        const char* what;
        int from, to;  // to: a row or OffTheRows
        const char* codes;
        int selected;
    } cases[] = {
        {"1 onto 3", 0, 2, "2222,3333,1111,4444", 2},
        {"4 onto 2", 3, 1, "1111,4444,2222,3333", 1},
        {"neighbours swap", 1, 0, "2222,1111,3333,4444", 0},
        {"onto itself", 2, 2, four, 2},
        {"below the last row", 0, kBelow, four, 0},
        {"onto the header", 1, kHeader, four, 1},
        {"outside the list", 1, kOutside, four, 1},
        // Under the drag distance there is no drag, and the press keeps its row selected.
        {"a press moved just into the next row", 1, kJustAcross, four, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteIni(Rows(four), 0, 3);
        Start();
        ASSERT_TRUE(WaitForPasses());
        const int headerHeight = List()->horizontalHeader()->height();
        const QPoint to = c.to >= 0         ? RowPoint(c.to)
                          : c.to == kBelow  ? QPoint(20, Viewport()->height() - 3)
                          : c.to == kHeader ? QPoint(20, -headerHeight / 2)
                                            : QPoint(Viewport()->width() + 40, 30);
        const RowCells dragged = Model().Row(c.from);
        if (c.to == kJustAcross) {
            const QRect row = List()->visualRect(Model().index(c.from, 1));
            QTest::mousePress(Viewport(), Qt::LeftButton, {}, row.bottomLeft() + QPoint(20, -1));
            QTest::mouseMove(Viewport(), row.bottomLeft() + QPoint(20, 3));
            EXPECT_EQ(SelectedRow(), c.from);
            QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, row.bottomLeft() + QPoint(20, 3));
        } else {
            BeginDrag(c.from);
            QTest::mouseMove(Viewport(), to);
            QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
        }
        EXPECT_FALSE(P().Dragging());
        EXPECT_EQ(Codes(), c.codes);
        EXPECT_EQ(SelectedRow(), c.selected);
        // The row moves whole; the result slots and the tray row stay as they were.
        EXPECT_EQ(Model().Row(c.selected), dragged);
        EXPECT_EQ(P().Results().size(), 4u);
        EXPECT_EQ(P().SelectedItem(), 3);
        TearDown();
    }
}

TEST_F(DragTest, ADragShowsTheRowScrollsAtTheEdgesAndEscapeEndsItWithoutAMove) {
    WriteIni(Rows("1001,1002,1003,1004,1005,1006,1007,1008,1009,1010,1011,1012,1013,1014,1015"));
    CQuoteDlg& dlg = Start();
    QScrollBar* bar = List()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 1);  // more rows than the list shows
    bar->setValue(1);
    BeginDrag(3);
    // The row's picture is a window of its own, first over the row itself.
    QWidget* image = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowTransparentForInput)) image = w;
    ASSERT_NE(image, nullptr);
    const QRect row = List()->visualRect(Model().index(3, 0));
    EXPECT_EQ(image->height(), row.height());
    EXPECT_EQ(image->pos(), Viewport()->mapToGlobal(row.topLeft()));
    const QPoint hotSpot(RowPoint(3).x() - row.left(), 3);  // where the press held the row
    // The window's lower edge, its frame included, in client coordinates.
    const int edge = dlg.frameGeometry().y() + dlg.frameGeometry().height() - dlg.geometry().y();
    const struct {
        int dialogY, value;
    } steps[] = {
        {200, 1},       // inside: no scrolling
        {9, 0},         // within the top 10 pixels
        {-30, 0},       // above: at the top already
        {edge + 5, 0},  // not more than 5 below the lower edge
        {edge + 6, 1},  // more than 5 below: one row per movement
        {edge + 40, 2}, {edge + 40, 3},
    };
    for (const auto& s : steps) {
        const QPoint at = Viewport()->mapFrom(&dlg, QPoint(40, s.dialogY));
        QTest::mouseMove(Viewport(), at);
        EXPECT_EQ(bar->value(), s.value) << s.dialogY;
        EXPECT_EQ(image->pos(), Viewport()->mapToGlobal(at) - hotSpot) << s.dialogY;
    }
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(P().Dragging());
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, RowPoint(5));
    EXPECT_EQ(Cell(3, ids::kColCode), "1004");
}

}  // namespace
}  // namespace tickora::test
