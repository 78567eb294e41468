#include <QElapsedTimer>
#include <QLineEdit>
#include <QComboBox>

#include "common/control_ids.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "quotes/refresh_pass.h"
#include "window_fixture.h"

namespace tickora::test {
namespace {

const int kEntryEdits[] = {ids::kNameEdit, ids::kTimeEdit,  ids::kPriceEdit, ids::kChangeEdit,
                           ids::kRatioEdit, ids::kVolumeEdit, ids::kMarkEdit};

std::string DeadTemplate() {
    return "http://127.0.0.1:" + std::to_string(FreeClosedPort()) + "/q?s=" + Sj("銘柄") + "." +
           Sj("市場");
}

// A later pass of one row over another template: what happens to the row's cells.
TEST_F(WindowTest, LaterPassOverAFailingHostBlanksOrKeepsTheRow) {
    struct Case {
        const char* name;
        std::string baseUrl;
        bool blanked;  // network failure: six empty fields and the flat mark
    };
    const Case cases[] = {
        {"network failure", DeadTemplate(), true},
        {"page without the quote row", Sj(HostTemplate("/fault/404/q?s=銘柄.市場")), false},
        {"empty body", Sj(HostTemplate("/fault/empty/q?s=銘柄.市場")), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIni({{"8058", "東証"}});
        CQuoteDlg& dlg = Start();
        ASSERT_TRUE(WaitForPasses());
        const RowCells before = dlg.m_pModel->Row(0);
        ASSERT_FALSE(before[ids::kColName].empty());
        const std::string nikkei = dlg.ControlText(ids::kNikkeiLine);

        dlg.m_strBaseUrl = c.baseUrl;
        dlg.OnTimer(ids::kTimerRefresh);
        ASSERT_TRUE(WaitForPasses());
        const RowCells after = dlg.m_pModel->Row(0);
        EXPECT_EQ(after[ids::kColCode], "8058");
        EXPECT_EQ(after[ids::kColMarket], Sj("東証"));
        for (const int col : {ids::kColName, ids::kColTime, ids::kColPrice, ids::kColChange,
                              ids::kColRatio, ids::kColVolume}) {
            if (c.blanked)
                EXPECT_EQ(after[static_cast<std::size_t>(col)], "") << col;
            else
                EXPECT_EQ(after[static_cast<std::size_t>(col)], before[static_cast<std::size_t>(col)])
                    << col;
        }
        EXPECT_EQ(after[ids::kColMark], c.blanked ? FlatMark() : before[ids::kColMark]);
        // A failed index fetch never blanks the band.
        EXPECT_EQ(dlg.ControlText(ids::kNikkeiLine), nikkei);
        dlg_.reset();
    }
}

TEST_F(WindowTest, StatusShowsFetchingFromTheTickUntilThePassEnds) {
    WriteIni({{"8058", "東証"}});
    CQuoteDlg& dlg = Start();
    EXPECT_EQ(dlg.ControlText(ids::kStatus), Sj("ステータス"));  // the start-up pass sets none
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dlg.ControlText(ids::kStatus), "");

    dlg.m_strBaseUrl = Sj(HostTemplate("/q?delay=700&s=銘柄.市場"));
    dlg.OnTimer(ids::kTimerRefresh);
    EXPECT_EQ(dlg.ControlText(ids::kStatus), FetchingStatusText());
    ASSERT_TRUE(WaitForRequests(host_.Requests().size() + 1, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.ControlText(ids::kStatus), FetchingStatusText());
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dlg.ControlText(ids::kStatus), "");
}

TEST_F(WindowTest, EntryRowPreviewsFromTheFourthByteAndOnMarketChange) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    auto* code = static_cast<QLineEdit*>(dlg.Control(ids::kCodeEdit));
    const std::size_t start = host_.Requests().size();

    code->setText("805");
    EXPECT_EQ(host_.Requests().size(), start);
    for (const int id : kEntryEdits) EXPECT_EQ(dlg.ControlText(id), "") << id;

    code->setText("8058");  // the fetch runs on the UI thread before setText returns
    ASSERT_TRUE(WaitForRequests(start + 1, 2000));
    EXPECT_EQ(host_.Requests().back().target, "/q?s=8058.t");
    EXPECT_EQ(dlg.m_strEntryCode, "8058");
    EXPECT_GT(std::atoi(dlg.ControlText(ids::kPriceEdit).c_str()), 0);
    EXPECT_FALSE(dlg.ControlText(ids::kNameEdit).empty());
    EXPECT_EQ(dlg.ControlText(ids::kMarkEdit), RiseFallMark(dlg.ControlText(ids::kRatioEdit)));

    dlg.m_cboMarket->setCurrentIndex(3);
    ASSERT_TRUE(WaitForRequests(start + 2, 2000));
    EXPECT_EQ(host_.Requests().back().target, "/q?s=8058.o");

    // A failing fetch: "no data" in all seven.
    dlg.m_strBaseUrl = DeadTemplate();
    code->setText("80581");
    for (const int id : kEntryEdits) EXPECT_EQ(dlg.ControlText(id), "no data") << id;

    // A pass previews the entry row as the tick found it.
    dlg.m_strBaseUrl = Sj(HostTemplate());
    code->setText("7203");
    const std::size_t beforeTick = host_.Requests().size();
    dlg.OnTimer(ids::kTimerRefresh);
    ASSERT_TRUE(WaitForPasses());
    ASSERT_GE(host_.Requests().size(), beforeTick + 4);
    EXPECT_EQ(host_.Requests()[beforeTick].target, "/q?s=7203.o");
}

// Rows vanish on the UI thread while a slow pass runs: nothing is written past the end
// (the sanitizer build makes such a write fatal) and the surviving row is updated.
TEST_F(WindowTest, RowsRemovedWhileAPassRunsAreNeverWritten) {
    std::vector<IniRow> rows = {{"8058", "東証"}, {"7203", "東証"}, {"6501", "東証"},
                                {"9984", "東証"}, {"4063", "東証"}, {"8306", "東証"}};
    WriteIni(rows, 0, 0, HostTemplate("/q?delay=150&s=銘柄.市場"));
    CQuoteDlg& dlg = Start();
    // Wait until the pass has reached the rows (three index requests done).
    ASSERT_TRUE(WaitForRequests(4, 10000));
    while (dlg.RowCount() > 1) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const int last = dlg.RowCount() - 1;
        dlg.m_pModel->RemoveRow(last);
        dlg.m_arrResults.pop_back();
        QThread::msleep(60);
    }
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dlg.RowCount(), 1);
    EXPECT_EQ(dlg.m_arrResults.size(), 1u);
    EXPECT_FALSE(Cell(0, ids::kColName).empty());
    EXPECT_EQ(Cell(1, ids::kColName), "");
}

// A pass hangs on a host that stops answering; ending the dialog cancels the fetch and
// joins the worker at once, and the worker never touches the window again.
TEST_F(WindowTest, ClosingDuringAStalledPassEndsPromptly) {
    WriteIni({{"8058", "東証"}, {"7203", "東証"}}, 0, 0,
             HostTemplate("/fault/stall/q?s=銘柄.市場"));
    CQuoteDlg& dlg = Start();
    dlg.OnTimer(ids::kTimerRefresh);  // a second worker waits for the lock
    // A stalled request is logged only when it ends; meanwhile both workers stay.
    WaitUntil([] { return false; }, 800);
    ASSERT_EQ(dlg.m_workers.Running(), 2u);
    EXPECT_TRUE(host_.Requests().empty());
    QElapsedTimer timer;
    timer.start();
    dlg.done(QDialog::Rejected);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(dlg.m_workers.Running(), 0u);
    EXPECT_TRUE(dlg.m_gateway.IsClosed());
    // The stalled index never reached the band.
    EXPECT_EQ(dlg.ControlText(ids::kNikkeiLine), Sj("日経平均株価"));
    // The host saw the client go away in the middle of its page.
    ASSERT_TRUE(WaitForRequests(1, 5000));
    EXPECT_FALSE(host_.Requests().front().completed);
    EXPECT_EQ(host_.Requests().size(), 1u);
    dlg_.reset();
}

TEST_F(WindowTest, DestroyingTheWindowDuringAPassEndsPromptly) {
    WriteIni({{"8058", "東証"}}, 0, 0, HostTemplate("/fault/stall/q?s=銘柄.市場"));
    Start();
    WaitUntil([] { return false; }, 500);
    ASSERT_EQ(dlg_->m_workers.Running(), 1u);
    QElapsedTimer timer;
    timer.start();
    dlg_.reset();
    EXPECT_LT(timer.elapsed(), 2000);
    // Queued requests of the dead window are dropped, not run.
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace tickora::test
