#include <dlfcn.h>
#include <netdb.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <condition_variable>

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

// Ticks over a host slower than the tick: one pass runs, at most one waits, the rest are
// dropped, and when the host answers no burst of requests follows.
TEST_F(WindowTest, TicksOverASlowHostKeepAtMostOnePassWaiting) {
    WriteIni(Rows("8058"), 0, 0, HostTemplate("/q?delay=300&s=銘柄.市場"));
    Start();
    ASSERT_TRUE(WaitForArrivals(1));  // the start-up pass is fetching
    for (int tick = 0; tick < 20; ++tick) P().Timer(ids::kTimerRefresh);
    EXPECT_EQ(P().Workers(), 2u);
    ASSERT_TRUE(WaitForPasses(30000));
    EXPECT_EQ(host_.Arrivals().size(), 8u);  // two passes of three indices and one row
}

// A name server that never answers for the names under .hang.test: the lookup waits until
// the test lets it go, as a dead name server holds libcurl's resolver thread.
std::mutex g_hang;
std::condition_variable g_release;
bool g_released = false;
std::atomic<int> g_hungLookups{0};

// The window stays responsive while its fetches hang in name lookups, and its end neither
// waits for them nor skips the save.
TEST_F(WindowTest, AHungNameLookupHoldsNeitherTheWindowNorItsEnd) {
    WriteIni(Rows("8058"), 0, 0, "http://quotes.hang.test/q?s=銘柄.市場");
    CQuoteDlg& dlg = Start(TrayHostKind::None, [](DlgProbe& p) {
        p.FetchLimits().connectTimeoutMs = 3'600'000;
        p.FetchLimits().stallSeconds = p.FetchLimits().totalSeconds = 3600;
    });
    ASSERT_TRUE(WaitUntil([] { return g_hungLookups >= 1; }, 10000));  // the start-up pass
    QTest::keyClicks(P().Control(ids::kCodeEdit), "7203");
    ASSERT_TRUE(WaitUntil([] { return g_hungLookups >= 2; }, 10000));  // the preview
    EXPECT_TRUE(P().PreviewPending());
    dlg.OnCommand(ids::kDisconnectButton);
    EXPECT_EQ(P().Connected(), 0);
    dlg.done(QDialog::Rejected);
    EXPECT_EQ(P().Workers(), 0u);
    EXPECT_NE(dir_.Read("base_data.ini").find("NUM0=8058"), std::string::npos);
    {
        std::lock_guard lock(g_hang);
        g_released = true;
    }
    g_release.notify_all();
}

}  // namespace
}  // namespace tickora::test

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using namespace tickora::test;
    static const auto real =
        reinterpret_cast<int (*)(const char*, const char*, const addrinfo*, addrinfo**)>(
            dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node == nullptr || !std::string_view(node).ends_with(".hang.test"))
        return real(node, service, hints, result);
    ++g_hungLookups;
    std::unique_lock lock(g_hang);
    g_release.wait(lock, [] { return g_released; });
    return EAI_AGAIN;
}
