#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "../app/window_fixture.h"
#include "common/control_ids.h"

namespace tickora::test {
namespace {

class DragTest : public WindowTest {
  public:
    QWidget* Viewport() { return P().List()->viewport(); }
    QPoint RowPoint(int row) { return P().List()->visualRect(P().Model().index(row, 1)).center(); }
    // A real drag: press on a row, move past the drag distance, move on, release.
    void Drag(int from, QPoint to) {
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, RowPoint(from));
        QTest::mouseMove(Viewport(), RowPoint(from) + QPoint(0, 12));
        ASSERT_TRUE(P().Dragging());
        QTest::mouseMove(Viewport(), to);
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
    }
    std::string Codes() {
        std::string codes;
        for (int r = 0; r < P().RowCount(); ++r) codes += P().Cell(r, ids::kColCode).substr(0, 1);
        return codes;
    }
};

TEST_F(DragTest, DropsLandOnTheTargetRowOrChangeNothing) {
    const struct {
        const char* what;
        int from;
        std::function<QPoint(DragTest&)> to;
        const char* codes;
        int selected;
    } cases[] = {
        {"1 onto 3", 0, [](DragTest& t) { return t.RowPoint(2); }, "2314", 2},
        {"4 onto 2", 3, [](DragTest& t) { return t.RowPoint(1); }, "1423", 1},
        {"neighbours swap", 1, [](DragTest& t) { return t.RowPoint(0); }, "2134", 0},
        {"onto itself", 2, [](DragTest& t) { return t.RowPoint(2); }, "1234", 2},
        {"below the last row", 0,
         [](DragTest& t) { return QPoint(20, t.Viewport()->height() - 3); }, "1234", 0},
        {"onto the header", 1,
         [](DragTest& t) { return QPoint(20, -t.P().List()->horizontalHeader()->height() / 2); },
         "1234", 1},
        {"outside the list", 1, [](DragTest& t) { return QPoint(t.Viewport()->width() + 40, 30); },
         "1234", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteIni(Rows("1111,2222,3333,4444"), 0, 3);
        Start();
        ASSERT_TRUE(WaitForPasses());
        const RowCells dragged = P().Model().Row(c.from);
        Drag(c.from, c.to(*this));
        EXPECT_FALSE(P().Dragging());
        EXPECT_EQ(Codes(), c.codes);
        EXPECT_EQ(P().SelectedRow(), c.selected);
        // The row moves whole; the result slots and the tray row stay as they were.
        EXPECT_EQ(P().Model().Row(c.selected), dragged);
        EXPECT_EQ(P().Results().size(), 4u);
        EXPECT_EQ(P().SelectedItem(), 3);
        TearDown();
    }
}

TEST_F(DragTest, ADragShowsTheRowAndEscapeEndsItWithoutAMove) {
    WriteIni(Rows("1111,2222,3333"));
    Start();
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, RowPoint(0));
    QTest::mouseMove(Viewport(), RowPoint(0) + QPoint(0, 12));
    ASSERT_TRUE(P().Dragging());
    // The row's picture is a window of its own that follows the pointer.
    QWidget* image = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowTransparentForInput)) image = w;
    ASSERT_NE(image, nullptr);
    // It starts over the row itself, then holds the pointer where the press held the row.
    const QRect row = P().List()->visualRect(P().Model().index(0, 0));
    EXPECT_EQ(image->height(), row.height());
    EXPECT_EQ(image->pos(), Viewport()->mapToGlobal(row.topLeft()));
    QTest::mouseMove(Viewport(), RowPoint(2));
    EXPECT_EQ(image->pos(),
              Viewport()->mapToGlobal(RowPoint(2)) - QPoint(RowPoint(0).x() - row.left(), 3));
    QTest::keyClick(P().List(), Qt::Key_Escape);
    EXPECT_FALSE(P().Dragging());
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, RowPoint(2));
    EXPECT_EQ(Codes(), "123");
}

TEST_F(DragTest, ThePointerAboveTheListOrBelowTheWindowScrollsARowPerMove) {
    WriteIni(Rows("1001,1002,1003,1004,1005,1006,1007,1008,1009,1010,1011,1012,1013,1014,1015"));
    CQuoteDlg& dlg = Start();
    QScrollBar* bar = P().List()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 1);  // more rows than the list shows
    bar->setValue(1);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, RowPoint(3));
    QTest::mouseMove(Viewport(), RowPoint(3) + QPoint(0, 12));
    ASSERT_TRUE(P().Dragging());
    const auto moveTo = [&](int dialogY) {
        QTest::mouseMove(Viewport(), Viewport()->mapFrom(&dlg, QPoint(40, dialogY)));
    };
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
        moveTo(s.dialogY);
        EXPECT_EQ(bar->value(), s.value) << s.dialogY;
    }
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, Viewport()->mapFrom(&dlg, QPoint(40, 9)));
}

}  // namespace
}  // namespace tickora::test
