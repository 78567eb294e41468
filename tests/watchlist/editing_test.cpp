#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>

#include "../app/window_fixture.h"
#include "chart/chart_snapshot.h"
#include "common/leading_int.h"
#include "common/quote.h"
#include "quotes/fetch.h"

namespace tickora::test {
namespace {

const char* kFifteen = "1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301";
// The entry row's seven preview edits and the list columns an add copies them into.
const std::pair<int, int> kPreviewEdits[] = {
    {ids::kNameEdit, ids::kColName},   {ids::kPriceEdit, ids::kColPrice},
    {ids::kTimeEdit, ids::kColTime},   {ids::kChangeEdit, ids::kColChange},
    {ids::kRatioEdit, ids::kColRatio}, {ids::kVolumeEdit, ids::kColVolume},
    {ids::kMarkEdit, ids::kColMark}};

class EditingTest : public WindowTest {
  protected:
    QLineEdit* CodeEdit() { return static_cast<QLineEdit*>(Control(ids::kCodeEdit)); }
    bool WaitForPreview() {
        return WaitUntil([&] { return !P().PreviewPending(); }, 15000);
    }
    // Types into the code edit as a user does and waits for the preview to arrive.
    void Type(const char* keys) {
        QTest::keyClicks(CodeEdit(), keys);
        ASSERT_TRUE(WaitForPreview());
    }
};

// Every edit of the list from one table: a window starts on rows with one selected, runs a
// command, then, when a code is given, types it and presses Add.
TEST_F(EditingTest, AddAndDeleteKeepRowsSlotsSelectionAndRefreshInStep) {
    const char* three = "8058,7203,6501";
    const char* noData = "データが見つかりません　　";
    const char* tooMany = "登録できるアイテム数は15個までです。";
    const struct {
        const char *what, *rows;
        int selected;      // -1: none
        int command;       // 0: none
        const char* code;  // typed, then Add pressed; nullptr: no add
        const char* codes;
        int selectedAfter;
        bool refreshing = true;         // the refresh timer runs
        const char* price = nullptr;    // nullptr: as previewed
        const char* message = nullptr;  // UTF-8
    } cases[] = {
        // Add checks the length, then the limit, then the price, and inserts before the
        // selected row.
        {"add, no selection", "8058", -1, 0, "7203", "8058,7203", 1},
        {"add before the selection", three, 1, 0, "9984", "8058,9984,7203,6501", 1},
        {"add the same stock twice", "8058", 0, 0, "8058", "8058,8058", 0},
        {"add while disconnected", "8058", -1, ids::kDisconnectButton, "7203", "8058,7203", 1},
        {"add after delete all", "8058,7203", 0, ids::kCmdDeleteAll, "7203", "7203", 0},
        {"add, thousands separators", "", -1, 0, "8058", "8058", 0, true, "1,234"},
        {"add, price 0", "", -1, 0, "8058", "", -1, false, "0", noData},
        {"add a short code to a full list", kFifteen, -1, 0, "130", kFifteen, -1},
        {"add the 16th, empty preview", kFifteen, -1, 0, "1234", kFifteen, -1, true, "", tooMany},
        // Delete reselects; delete all stops the timers but stays connected.
        {"delete the middle row", three, 1, ids::kCmdDelete, nullptr, "8058,6501", 1},
        {"delete the last row", three, 2, ids::kCmdDelete, nullptr, "8058,7203", 1},
        {"delete the only row", "8058", 0, ids::kCmdDelete, nullptr, "", -1},
        {"delete, nothing selected", three, -1, ids::kCmdDelete, nullptr, three, -1},
        {"delete all", three, 2, ids::kCmdDeleteAll, nullptr, "", -1, false},
        {"delete all, nothing selected", three, -1, ids::kCmdDeleteAll, nullptr, three, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CQuoteDlg& dlg = Launch(Rows(c.rows));
        SelectRow(c.selected);
        if (c.command) dlg.OnCommand(c.command);
        RowCells previewed;
        if (c.code) {
            Type(c.code);
            if (c.price) Control(ids::kPriceEdit)->setProperty("text", QString(c.price));
            previewed[ids::kColCode] = c.code;
            previewed[ids::kColMarket] = Sj("東証");
            for (const auto& [id, column] : kPreviewEdits) previewed[column] = Text(id);
            static_cast<QPushButton*>(Control(ids::kAddButton))->click();
        }
        EXPECT_EQ(Codes(), c.codes);
        EXPECT_EQ(SelectedRow(), c.selectedAfter);
        EXPECT_EQ(P().Results().size(), static_cast<std::size_t>(RowCount()));
        EXPECT_EQ(TimerRunning(ids::kTimerRefresh), c.refreshing);
        EXPECT_EQ(P().Connected(), c.refreshing || c.command == ids::kCmdDeleteAll);
        EXPECT_EQ(Control(ids::kConnectButton)->isEnabled(), !P().Connected());
        using Boxes = std::vector<RecordingBoxes::Box>;
        EXPECT_EQ(boxes_->shown, (c.message ? Boxes{{"tickora", Sj(c.message)}} : Boxes{}));
        // An add that took holds the previewed texts and clears the entry row.
        if (c.code && c.codes != std::string(c.rows)) {
            EXPECT_EQ(Model().Row(c.selectedAfter), previewed);
            EXPECT_EQ(CodeEdit()->text(), "");
            for (const auto& [id, column] : kPreviewEdits) EXPECT_EQ(Text(id), "") << id;
        } else if (c.code) {
            EXPECT_NE(CodeEdit()->text(), "");
        }
        boxes_->shown.clear();
        TearDown();
    }
}

TEST_F(EditingTest, PreviewFromTheFourthByteOffTheUiThreadNewestAnswerWins) {
    Launch({});
    const std::size_t start = host_.Arrivals().size();
    Type("805");
    EXPECT_EQ(host_.Arrivals().size(), start);
    Type("8");
    EXPECT_EQ(host_.Arrivals().back(), "/q?s=8058.t");
    EXPECT_GT(LeadingInt(Text(ids::kPriceEdit)), 0);
    static_cast<QComboBox*>(Control(ids::kMarketCombo))->setCurrentIndex(3);
    ASSERT_TRUE(WaitForPreview());
    EXPECT_EQ(host_.Arrivals().back(), "/q?s=8058.o");

    // A slow request for "8058" is overtaken by one for "7203": the older answer, cancelled
    // to "no data", arrives after the newer one and is dropped.
    const std::string name7203 =
        SplitQuoteResult(FetchQuote(host_.Url("/q?s=7203.o"), DefaultPatterns()))[0];
    P().BaseUrl() = Sj(HostTemplate("/q?delay=1500&s=銘柄.市場"));
    QTest::keyClick(CodeEdit(), Qt::Key_Backspace);
    const std::size_t arrived = host_.Arrivals().size();
    QTest::keyClick(CodeEdit(), '8');
    ASSERT_TRUE(WaitForArrivals(arrived + 1));
    P().BaseUrl() = Sj(HostTemplate());
    CodeEdit()->setText("7203");
    ASSERT_TRUE(WaitForPasses());  // both answered or cut off
    EXPECT_EQ(Text(ids::kNameEdit), name7203);
    EXPECT_GT(LeadingInt(Text(ids::kPriceEdit)), 0);
}

TEST_F(EditingTest, AddWaitsForThePreviewOnItsWayUnlessTheCodeChanges) {
    CQuoteDlg& dlg = Launch({});
    P().BaseUrl() = Sj(HostTemplate("/q?delay=1500&s=銘柄.市場"));
    QTest::keyClicks(CodeEdit(), "8058");
    ASSERT_TRUE(P().PreviewPending());
    dlg.OnCommand(ids::kAddButton);
    EXPECT_EQ(RowCount(), 0);
    ASSERT_TRUE(WaitUntil([&] { return RowCount() == 1; }, 15000));
    EXPECT_GT(LeadingInt(Cell(0, ids::kColPrice)), 0);

    // Typing on while the add waits: the user changed their mind, so the answer for "72031"
    // (no price) neither adds a row nor complains.
    QTest::keyClicks(CodeEdit(), "7203");
    dlg.OnCommand(ids::kAddButton);
    QTest::keyClick(CodeEdit(), '1');
    ASSERT_TRUE(WaitForPreview());
    EXPECT_EQ(RowCount(), 1);
    EXPECT_TRUE(boxes_->shown.empty());
}

TEST_F(EditingTest, CodeEditTakesOnlyWhatFitsItsWidth) {
    Launch({});
    Type("98765432109876543210");
    const QString text = CodeEdit()->text();
    EXPECT_GE(text.size(), 4);
    EXPECT_LT(text.size(), 20);
    EXPECT_LE(CodeEdit()->fontMetrics().horizontalAdvance(text), CodeEdit()->width());
    // Keys that did not fit changed nothing and fetched nothing.
    for (std::string target : host_.Arrivals()) {
        if (!target.starts_with("/q?s=98")) continue;
        if (target.ends_with(".t")) target.resize(target.size() - 2);
        EXPECT_TRUE(text.startsWith(QString::fromStdString(target.substr(5)))) << target;
    }
    EXPECT_EQ(host_.Arrivals().back(), "/q?s=" + text.toStdString());
}

// A page of today's web, UTF-8 in a layout of its own, read with patterns written for it: the
// stock typed and added shows its name, the same company the older page names.
TEST_F(EditingTest, AStockOfAUtf8PageIsAddedWithItsName) {
    WriteIni({}, 0, 0, HostTemplate("/v2/q?s=銘柄.市場"));
    dir_.Write(
        "base_data.ini",
        dir_.Read("base_data.ini") +
            Utf8ToCp932("key=[key]_<div class=\"quote-board-head\">\r\n"
                        "meigaramei=[銘柄名]_<h1 class=\"quote-name\">_</h1>\r\n"
                        "time=[時間]_<time class=\"quote-time\">_</time>\r\n"
                        "genzaiti=[現在値]_<span class=\"price-value\">_</span>\r\n"
                        "zenjitusa=[前日差]_<span class=\"change-value\">_</span>\r\n"
                        "sawariai=[差割合]_<span class=\"change-ratio\">(_)</span>\r\n"
                        "dekidaka=[出来高]_<dd class=\"stat-volume\">_<span class=\"unit\">\r\n"));
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    Type("7203");
    dlg.OnCommand(ids::kAddButton);
    ASSERT_EQ(RowCount(), 1);
    const std::string name =
        SplitQuoteResult(FetchQuote(host_.Url("/q?s=7203.t"), DefaultPatterns()))[0];
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(Cell(0, ids::kColName), name);
    EXPECT_EQ(Cell(0, ids::kColMark), FallMark());
    EXPECT_GT(LeadingInt(Cell(0, ids::kColPrice)), 0);
}

// The hidden button's command, as the window runs it: off the UI thread, into today's folder.
TEST_F(EditingTest, ChartCommandSavesTodaysSnapshotBesideTheProgram) {
    CQuoteDlg& dlg = Launch({});
    P().ChartUrl() = host_.Url("/blob?n=12345");
    dlg.OnCommand(ids::kChartButton);
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dir_.Read(ChartFolderName(Today()) + "/hhh.gif").size(), 12345u);
}

// Rows moved by dragging them with the mouse.
class DragTest : public WindowTest {
  public:
    QWidget* Viewport() { return List()->viewport(); }
    QPoint RowPoint(int row) { return List()->visualRect(Model().index(row, 1)).center(); }
    // A real drag's start: press on a row and move past the drag distance. After a click, a
    // widget sees the second press of a double click as the double click itself.
    void BeginDrag(int row, bool afterClick = false) {
        if (afterClick) {
            QTest::mouseClick(Viewport(), Qt::LeftButton, {}, RowPoint(row));
            QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, RowPoint(row));
        } else {
            QTest::mousePress(Viewport(), Qt::LeftButton, {}, RowPoint(row));
        }
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
        bool doubleClick = false;  // the drag's press is a double click's second: its link opens
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
        {"a double click held and moved", 0, 2, "2222,3333,1111,4444", 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Launch(Rows(four), 0, 3);
        const QPoint to = c.to >= 0         ? RowPoint(c.to)
                          : c.to == kBelow  ? QPoint(20, Viewport()->height() - 3)
                          : c.to == kHeader ? QPoint(20, -List()->horizontalHeader()->height() / 2)
                                            : QPoint(Viewport()->width() + 40, 30);
        const RowCells dragged = Model().Row(c.from);
        if (c.to == kJustAcross) {
            const QRect row = List()->visualRect(Model().index(c.from, 1));
            QTest::mousePress(Viewport(), Qt::LeftButton, {}, row.bottomLeft() + QPoint(20, -1));
            QTest::mouseMove(Viewport(), row.bottomLeft() + QPoint(20, 3));
            EXPECT_EQ(SelectedRow(), c.from);
            QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, row.bottomLeft() + QPoint(20, 3));
        } else {
            BeginDrag(c.from, c.doubleClick);
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
        // Only the double click opens a link: the pressed row's, by the default template.
        const std::vector<std::string> link = {"http://127.0.0.1:50505/q?s=1111.t"};
        EXPECT_EQ(opener_->urls, c.doubleClick ? link : std::vector<std::string>{});
        opener_->urls.clear();
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
