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
    CQuoteDlg& StartEmpty() {
        WriteIni({});
        CQuoteDlg& dlg = Start();
        EXPECT_TRUE(WaitForPasses());
        return dlg;
    }
    bool WaitForPreview() {
        return WaitUntil([&] { return !P().PreviewPending(); }, 15000);
    }
    // Types into the code edit as a user does and waits for the preview to arrive.
    void Type(const char* keys) {
        QTest::keyClicks(CodeEdit(), keys);
        ASSERT_TRUE(WaitForPreview());
    }
    void ExpectPreview(const std::string& text) {
        for (const auto& [id, column] : kPreviewEdits) EXPECT_EQ(Text(id), text) << id;
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
        WriteIni(Rows(c.rows));
        CQuoteDlg& dlg = Start();
        ASSERT_TRUE(WaitForPasses());
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
        ASSERT_EQ(boxes_->shown.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes_->shown[0].caption, "tickora");
            EXPECT_EQ(boxes_->shown[0].text, Sj(c.message));
        }
        // An add that took holds the previewed texts and clears the entry row.
        if (c.code && c.codes != std::string(c.rows)) {
            EXPECT_EQ(Model().Row(c.selectedAfter), previewed);
            EXPECT_EQ(CodeEdit()->text(), "");
            ExpectPreview("");
        } else if (c.code) {
            EXPECT_NE(CodeEdit()->text(), "");
        }
        boxes_->shown.clear();
        TearDown();
    }
}

TEST_F(EditingTest, PreviewFromTheFourthByteOffTheUiThreadNewestAnswerWins) {
    StartEmpty();
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
    const std::size_t answered = host_.Requests().size();
    CodeEdit()->setText("7203");
    ASSERT_TRUE(WaitForRequests(answered + 2, 15000));  // both answered or cut off
    ASSERT_TRUE(WaitUntil([&] { return P().Workers() == 0; }, 15000));
    EXPECT_EQ(Text(ids::kNameEdit), name7203);
    EXPECT_GT(LeadingInt(Text(ids::kPriceEdit)), 0);
}

TEST_F(EditingTest, AddWaitsForThePreviewOnItsWayUnlessTheCodeChanges) {
    CQuoteDlg& dlg = StartEmpty();
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
    StartEmpty();
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
    WriteIni({});
    CQuoteDlg& dlg = Start();
    P().ChartUrl() = host_.Url("/blob?n=12345");
    dlg.OnCommand(ids::kChartButton);
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dir_.Read(ChartFolderName(Today()) + "/hhh.gif").size(), 12345u);
}

}  // namespace
}  // namespace tickora::test
