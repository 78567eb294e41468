#include <QComboBox>
#include <QLineEdit>

#include "common/control_ids.h"
#include "common/leading_int.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "quotes/refresh_pass.h"
#include "window_fixture.h"

namespace tickora::test {
namespace {

const int kEntryEdits[] = {ids::kNameEdit,  ids::kTimeEdit,   ids::kPriceEdit, ids::kChangeEdit,
                           ids::kRatioEdit, ids::kVolumeEdit, ids::kMarkEdit};

TEST_F(WindowTest, StatusShowsFetchingFromTheTickUntilThePassEnds) {
    WriteIni({{"8058", "東証"}});
    Start();
    EXPECT_EQ(P().Text(ids::kStatus), Sj("ステータス"));  // the start-up pass sets none
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(P().Text(ids::kStatus), "");

    P().BaseUrl() = Sj(HostTemplate("/q?delay=1000&s=銘柄.市場"));
    const std::size_t before = host_.Arrivals().size();
    P().Timer(ids::kTimerRefresh);
    EXPECT_EQ(P().Text(ids::kStatus), FetchingStatusText());
    // The pass is under way; its last write waits for this thread, so the text stands.
    ASSERT_TRUE(WaitForArrivals(before + 1));
    EXPECT_EQ(P().Text(ids::kStatus), FetchingStatusText());
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(P().Text(ids::kStatus), "");
}

// Rows vanish on the UI thread while a pass waits for a row's page: nothing is written past
// the end (the sanitizer build makes such a write fatal) and the surviving row is updated.
TEST_F(WindowTest, RowsRemovedWhileAPassRunsAreNeverWritten) {
    WriteIni(Rows("8058,7203,6501,9984"), 0, 0, HostTemplate("/q?delay=300&s=銘柄.市場"));
    Start();
    ASSERT_TRUE(WaitForArrivals(4));  // three indices, then row 0
    for (int row = 3; row >= 1; --row) {
        P().Model().RemoveAt(row);
        P().Results().pop_back();
    }
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(P().RowCount(), 1);
    EXPECT_GT(LeadingInt(P().Cell(0, ids::kColPrice)), 0);
    EXPECT_EQ(host_.Arrivals().size(), 4u);
}

// A pass hangs on a host that stops answering, with no stall limit to save it; ending the
// window cancels the fetch and joins the workers, and no worker touches the window again.
TEST_F(WindowTest, EndingTheWindowDuringAStalledPassCancelsIt) {
    for (const bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destructor" : "done");
        WriteIni(Rows("8058,7203"), 0, 0, HostTemplate("/fault/stall/q?s=銘柄.市場"));
        const std::size_t before = host_.Arrivals().size();
        const std::size_t answered = host_.Requests().size();
        CQuoteDlg& dlg = Start(TrayHostKind::None, [](DlgProbe& p) {
            p.FetchLimits().stallSeconds = p.FetchLimits().totalSeconds = 3600;
        });
        P().Timer(ids::kTimerRefresh);  // a second worker waits for the lock
        ASSERT_TRUE(WaitForArrivals(before + 1));
        ASSERT_EQ(P().Workers(), 2u);
        if (byDestructor) {
            TearDown();
        } else {
            dlg.done(QDialog::Rejected);
            EXPECT_EQ(P().Workers(), 0u);
            EXPECT_EQ(P().Text(ids::kNikkeiLine), Sj("日経平均株価"));
            TearDown();
        }
        // Requests of the dead window still queued are dropped, not run.
        QCoreApplication::processEvents();
        // The host saw the client go away in the middle of its page.
        ASSERT_TRUE(host_.WaitForRequests(answered + 1, 10000));
        EXPECT_FALSE(host_.Requests().back().completed);
        EXPECT_EQ(host_.Arrivals().size(), before + 1);
    }
}

}  // namespace
}  // namespace tickora::test
