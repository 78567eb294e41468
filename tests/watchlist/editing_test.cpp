#include "watchlist/editing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "../app/window_fixture.h"
#include "chart/chart_snapshot.h"
#include "common/control_ids.h"
#include "common/leading_int.h"
#include "common/sjis.h"
#include "quotes/extract.h"

namespace tickora::test {
namespace {

const char* kFifteen = "1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301,1301";
const int kPreviewEdits[] = {ids::kNameEdit,  ids::kPriceEdit,  ids::kTimeEdit, ids::kChangeEdit,
                             ids::kRatioEdit, ids::kVolumeEdit, ids::kMarkEdit};

class EditingTest : public WindowTest {
  protected:
    QLineEdit* CodeEdit() { return static_cast<QLineEdit*>(P().Control(ids::kCodeEdit)); }
    // Types into the code edit as a user does and waits for the preview to arrive.
    void Type(const char* keys) {
        QTest::keyClicks(CodeEdit(), keys);
        ASSERT_TRUE(WaitUntil([&] { return !P().PreviewPending(); }, 15000));
    }
    std::string Codes() {
        std::string codes;
        for (int r = 0; r < P().RowCount(); ++r)
            codes += (r ? "," : "") + P().Cell(r, ids::kColCode);
        return codes;
    }
};

TEST_F(EditingTest, AddChecksLengthThenLimitThenPriceAndInsertsBeforeTheSelection) {
    enum Message { kNone, kLimit, kNoData };
    const struct {
        const char *what, *rows;
        int selected;  // -1: none
        bool disconnect;
        const char* code;
        const char* price;  // nullptr: as previewed
        std::string codes;
        int selectedAfter;
        Message message;
    } cases[] = {
        {"no selection appends", "8058", -1, false, "7203", nullptr, "8058,7203", 1, kNone},
        {"in front of the selected row", "8058,7203,6501", 1, false, "9984", nullptr,
         "8058,9984,7203,6501", 1, kNone},
        {"the same stock twice", "8058", 0, false, "8058", nullptr, "8058,8058", 0, kNone},
        {"while disconnected", "8058", -1, true, "7203", nullptr, "8058,7203", 1, kNone},
        {"thousands separators", "", -1, false, "8058", "1,234", "8058", 0, kNone},
        {"price 0", "", -1, false, "8058", "0", "", -1, kNoData},
        {"short code with a full list", kFifteen, -1, false, "130", nullptr, "", -1, kNone},
        {"the 16th with an empty preview", kFifteen, -1, false, "1234", "", "", -1, kLimit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteIni(Rows(c.rows));
        CQuoteDlg& dlg = Start();
        ASSERT_TRUE(WaitForPasses());
        const std::string before = Codes();
        P().SelectRow(c.selected);
        if (c.disconnect) dlg.OnCommand(ids::kDisconnectButton);
        Type(c.code);
        if (c.price) P().Control(ids::kPriceEdit)->setProperty("text", QString(c.price));
        const std::pair<int, int> shown[] = {{ids::kNameEdit, ids::kColName},
                                             {ids::kTimeEdit, ids::kColTime},
                                             {ids::kPriceEdit, ids::kColPrice},
                                             {ids::kMarkEdit, ids::kColMark}};
        RowCells preview;
        for (const auto& [id, col] : shown) preview[col] = P().Text(id);
        static_cast<QPushButton*>(P().Control(ids::kAddButton))->click();

        const bool added = c.message == kNone && c.selectedAfter >= 0;
        EXPECT_EQ(Codes(), added ? c.codes : before);
        EXPECT_EQ(P().Results().size(), static_cast<std::size_t>(P().RowCount()));
        if (c.message == kNone) {
            EXPECT_TRUE(boxes_->shown.empty());
        } else {
            ASSERT_EQ(boxes_->shown.size(), 1u);
            EXPECT_EQ(boxes_->shown[0].caption, "tickora");
            EXPECT_EQ(boxes_->shown[0].text, c.message == kLimit
                                                 ? Sj("登録できるアイテム数は15個までです。")
                                                 : Sj("データが見つかりません　　"));
        }
        if (added) {
            const int row = c.selectedAfter;
            EXPECT_EQ(P().SelectedRow(), row);
            for (const int col : {ids::kColName, ids::kColTime, ids::kColPrice, ids::kColMark})
                EXPECT_EQ(P().Cell(row, col), preview[col]) << col;
            EXPECT_EQ(P().Cell(row, ids::kColMarket), Sj("東証"));
            EXPECT_EQ(P().Connected(), 1);
            EXPECT_TRUE(P().TimerRunning(ids::kTimerRefresh));
            EXPECT_EQ(CodeEdit()->text(), "");
            for (const int id : kPreviewEdits) EXPECT_EQ(P().Text(id), "") << id;
        } else {
            EXPECT_NE(CodeEdit()->text(), "");
        }
        boxes_->shown.clear();
        TearDown();
    }
}

TEST_F(EditingTest, DeleteReselectsAndDeleteAllStopsTheTimersOnly) {
    const char* three = "8058,7203,6501";
    const struct {
        const char *what, *rows;
        int selected, command;
        std::string codes;
        int selectedAfter;
    } cases[] = {
        {"the middle row", three, 1, ids::kCmdDelete, "8058,6501", 1},
        {"the last row selects the one before", three, 2, ids::kCmdDelete, "8058,7203", 1},
        {"the only row", "8058", 0, ids::kCmdDelete, "", -1},
        {"nothing selected", three, -1, ids::kCmdDelete, "8058,7203,6501", -1},
        {"all", three, 2, ids::kCmdDeleteAll, "", -1},
        {"all with nothing selected", three, -1, ids::kCmdDeleteAll, "8058,7203,6501", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteIni(Rows(c.rows));
        CQuoteDlg& dlg = Start();
        ASSERT_TRUE(WaitForPasses());
        P().SelectRow(c.selected);
        dlg.OnCommand(c.command);
        EXPECT_EQ(Codes(), c.codes);
        EXPECT_EQ(P().SelectedRow(), c.selectedAfter);
        EXPECT_EQ(P().Results().size(), static_cast<std::size_t>(P().RowCount()));
        // The connected state and its buttons never change; only delete all stops timer 0.
        EXPECT_EQ(P().Connected(), 1);
        EXPECT_FALSE(P().Control(ids::kConnectButton)->isEnabled());
        EXPECT_EQ(P().TimerRunning(ids::kTimerRefresh), c.command == ids::kCmdDelete);
        TearDown();
    }
    // After delete all the next add restarts the refresh.
    WriteIni(Rows(three));
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    P().SelectRow(0);
    dlg.OnCommand(ids::kCmdDeleteAll);
    Type("7203");
    dlg.OnCommand(ids::kAddButton);
    EXPECT_EQ(Codes(), "7203");
    EXPECT_TRUE(P().TimerRunning(ids::kTimerRefresh));
}

TEST_F(EditingTest, PreviewFromTheFourthByteOffTheUiThreadNewestAnswerWins) {
    WriteIni({});
    Start();
    ASSERT_TRUE(WaitForPasses());
    const std::size_t start = host_.Arrivals().size();
    Type("805");
    EXPECT_EQ(host_.Arrivals().size(), start);
    Type("8");
    EXPECT_EQ(host_.Arrivals().back(), "/q?s=8058.t");
    EXPECT_GT(LeadingInt(P().Text(ids::kPriceEdit)), 0);
    EXPECT_EQ(P().Text(ids::kMarkEdit), RiseFallMark(P().Text(ids::kRatioEdit)));
    P().Market()->setCurrentIndex(3);
    ASSERT_TRUE(WaitUntil([&] { return !P().PreviewPending(); }, 15000));
    EXPECT_EQ(host_.Arrivals().back(), "/q?s=8058.o");

    // A slow answer for "8058" comes after the answer for "80581" and is dropped.
    P().BaseUrl() = Sj(HostTemplate("/q?delay=1500&s=銘柄.市場"));
    QTest::keyClick(CodeEdit(), Qt::Key_Backspace);
    const std::size_t arrived = host_.Arrivals().size();
    QTest::keyClick(CodeEdit(), '8');
    ASSERT_TRUE(WaitForArrivals(arrived + 1));
    P().BaseUrl() = Sj(HostTemplate());
    const std::size_t answered = host_.Requests().size();
    Type("1");
    ASSERT_TRUE(WaitForRequests(answered + 2, 15000));
    QCoreApplication::processEvents();
    for (const int id : kPreviewEdits) EXPECT_EQ(P().Text(id), "no data") << id;

    // A fetch that fails gives "no data" as well.
    ClosedPort closed;
    P().BaseUrl() = closed.Url("/q?s=") + Sj("銘柄.市場");
    CodeEdit()->clear();
    Type("7203");
    for (const int id : kPreviewEdits) EXPECT_EQ(P().Text(id), "no data") << id;
}

TEST_F(EditingTest, AddWaitsForThePreviewOnItsWayUnlessTheCodeChanges) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    P().BaseUrl() = Sj(HostTemplate("/q?delay=1500&s=銘柄.市場"));
    QTest::keyClicks(CodeEdit(), "8058");
    ASSERT_TRUE(P().PreviewPending());
    dlg.OnCommand(ids::kAddButton);
    EXPECT_EQ(P().RowCount(), 0);
    ASSERT_TRUE(WaitUntil([&] { return P().RowCount() == 1; }, 15000));
    EXPECT_GT(LeadingInt(P().Cell(0, ids::kColPrice)), 0);
    EXPECT_TRUE(boxes_->shown.empty());

    // Typing on while the add waits: the user changed their mind.
    QTest::keyClicks(CodeEdit(), "7203");
    dlg.OnCommand(ids::kAddButton);
    QTest::keyClick(CodeEdit(), '1');
    ASSERT_TRUE(WaitUntil([&] { return !P().PreviewPending(); }, 15000));
    EXPECT_EQ(P().RowCount(), 1);
}

TEST_F(EditingTest, CodeEditTakesOnlyWhatFitsItsWidth) {
    WriteIni({});
    Start();
    ASSERT_TRUE(WaitForPasses());
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

// Rows deleted and moved while a slow pass runs: every row ends with its own stock's figures
// or with none until the next pass, never with another stock's.
TEST_F(EditingTest, APassNeverWritesOneStocksFiguresIntoAnotherStocksRow) {
    const char* codes[] = {"8058", "7203", "6501", "9984", "4063", "8306"};
    std::map<std::string, std::string> names;
    for (const char* code : codes)
        names[code] =
            SplitQuoteResult(FetchQuote(host_.Url("/q?s=") + code + ".t", DefaultPatterns()))[0];
    WriteIni(Rows("8058,7203,6501,9984,4063,8306"), 0, 0, HostTemplate("/q?delay=300&s=銘柄.市場"));
    CQuoteDlg& dlg = Start();
    const std::size_t before = host_.Arrivals().size();
    ASSERT_TRUE(WaitForArrivals(before + 5));  // three indices, rows 0 and 1
    P().SelectRow(0);
    dlg.OnCommand(ids::kCmdDelete);
    ASSERT_TRUE(P().Model().Move(3, 1));
    ASSERT_TRUE(WaitForPasses());
    int filled = 0;
    for (int r = 0; r < P().RowCount(); ++r) {
        const std::string name = P().Cell(r, ids::kColName);
        if (name.empty()) continue;
        ++filled;
        EXPECT_EQ(name, names[P().Cell(r, ids::kColCode)]) << "row " << r;
    }
    EXPECT_GE(filled, 2);
}

// The hidden button's command, as the window runs it: off the UI thread, into today's folder.
TEST_F(EditingTest, ChartCommandSavesTodaysSnapshotBesideTheProgram) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    P().ChartUrl() = host_.Url("/blob?n=12345");
    dlg.OnCommand(ids::kChartButton);
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dir_.Read(ChartFolderName(Today()) + "/hhh.gif").size(), 12345u);
}

}  // namespace
}  // namespace tickora::test
