#include <map>

#include "common/quote.h"
#include "hung_lookup.h"
#include "quotes/refresh_pass.h"
#include "window_fixture.h"

namespace tickora::test {
namespace {

// Rows deleted, moved and removed while a slow pass runs: every row ends with its own stock's
// figures or with none until the next pass, never with another stock's (the same code on
// another market is another stock), and a row deleted while its page is on the way is not
// written (the sanitizer build makes a write past the end of the result slots fatal).
TEST_F(WindowTest, APassWritesARowOnlyWhileItHoldsTheStockItFetched) {
    std::map<std::string, std::string> names;
    for (const char* code : {"8058", "7203", "6501", "9984", "8306"})
        names[code] =
            SplitQuoteResult(FetchQuote(host_.Url("/q?s=") + code + ".t", DefaultPatterns()))[0];
    std::vector<IniRow> rows = Rows("8058,7203,6501,9984,7203,8306");
    rows[4].market = "大証";  // the host gives it the figures of 7203 on 東証
    WriteIni(rows, 0, 0, HostTemplate("/q?delay=300&s=銘柄.市場"));
    const std::size_t before = host_.Arrivals().size();
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForArrivals(before + 5));  // three indices, rows 0 and 1 (7203 東証)
    SelectRow(0);
    dlg.OnCommand(ids::kCmdDelete);
    ASSERT_TRUE(Model().Move(3, 1));           // 7203 7203(大証) 6501 9984 8306
    ASSERT_TRUE(WaitForArrivals(before + 8));  // 6501, 9984, then 8306 in the last row
    SelectRow(4);
    dlg.OnCommand(ids::kCmdDelete);
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(host_.Arrivals().size(), before + 8);
    ASSERT_EQ(RowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        const std::string code = Cell(r, ids::kColCode);
        EXPECT_EQ(Cell(r, ids::kColName), r < 2 ? "" : names[code]) << code;
    }
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
        ASSERT_TRUE(WaitForArrivals(before + 1));
        P().Timer(ids::kTimerRefresh);  // a second worker waits for the lock
        ASSERT_EQ(P().Workers(), 2u);
        if (!byDestructor) {
            dlg.done(QDialog::Rejected);
            EXPECT_EQ(P().Workers(), 0u);
            EXPECT_EQ(Text(ids::kNikkeiLine), Sj("日経平均株価"));
        }
        TearDown();
        // Requests of the dead window still queued are dropped, not run (the sanitizer
        // build makes running one fatal).
        QCoreApplication::processEvents();
        // The host saw the client go away in the middle of its page, and the waiting pass
        // never asked for anything.
        ASSERT_TRUE(host_.WaitForRequests(answered + 1, 10000));
        EXPECT_FALSE(host_.Requests().back().completed);
        EXPECT_EQ(host_.Arrivals().size(), before + 1);
    }
}

// Ticks over a host slower than the tick: the status shows the fetching text until the passes
// end; one pass runs, at most one waits, the rest are dropped, and when the host answers no
// burst of requests follows.
TEST_F(WindowTest, TicksOverASlowHostKeepAtMostOnePassWaiting) {
    WriteIni(Rows("8058"), 0, 0, HostTemplate("/q?delay=300&s=銘柄.市場"));
    Start();
    EXPECT_EQ(Text(ids::kStatus), Sj("ステータス"));  // the start-up pass sets none
    ASSERT_TRUE(WaitForArrivals(1));
    for (int tick = 0; tick < 20; ++tick) P().Timer(ids::kTimerRefresh);
    EXPECT_EQ(P().Workers(), 2u);
    // The start-up pass is under way; its last write waits for this thread, so the text stands.
    ASSERT_TRUE(WaitForArrivals(2));
    EXPECT_EQ(Text(ids::kStatus), FetchingStatusText());
    ASSERT_TRUE(WaitForPasses(30000));
    EXPECT_EQ(Text(ids::kStatus), "");
    EXPECT_EQ(host_.Arrivals().size(), 8u);  // two passes of three indices and one row
}

// The window stays responsive while its fetches hang in name lookups, and its end neither
// waits for them nor skips the save.
TEST_F(WindowTest, AHungNameLookupHoldsNeitherTheWindowNorItsEnd) {
    WriteIni(Rows("8058"), 0, 0, "http://quotes.hang.test/q?s=銘柄.市場");
    CQuoteDlg& dlg = Start(TrayHostKind::None, [](DlgProbe& p) {
        p.FetchLimits().connectTimeoutMs = 3'600'000;
        p.FetchLimits().stallSeconds = p.FetchLimits().totalSeconds = 3600;
    });
    ASSERT_TRUE(WaitUntil([] { return HungLookups() >= 1; }, 10000));  // the start-up pass
    QTest::keyClicks(Control(ids::kCodeEdit), "7203");
    ASSERT_TRUE(WaitUntil([] { return HungLookups() >= 2; }, 10000));  // the preview
    EXPECT_TRUE(P().PreviewPending());
    dlg.OnCommand(ids::kDisconnectButton);
    EXPECT_EQ(P().Connected(), 0);
    dlg.done(QDialog::Rejected);
    EXPECT_EQ(P().Workers(), 0u);
    EXPECT_NE(dir_.Read("base_data.ini").find("NUM0=8058"), std::string::npos);
    ReleaseHungLookups();
}

// A site that stops reading: the rows keep their figures, and a band over the list's foot, each
// row's tooltip and the tray's tip say since when; the next good read clears it.
TEST_F(WindowTest, APassThatReadsNothingIsShownAsSuchUntilPagesReadAgain) {
    Launch(Rows("8058"), 0, 0, "", TrayHostKind::XEmbed);
    const std::string price = Cell(0, ids::kColPrice);
    auto* band = List()->findChild<QLabel*>(QStringLiteral("readingStopped"));
    ASSERT_NE(band, nullptr);
    EXPECT_FALSE(band->isVisibleTo(&*dlg_));
    const QPoint row0 = List()->visualRect(Model().index(0, 0)).center();
    EXPECT_FALSE(
        dlg_->findChild<ListToolTip*>()->TextAt(row0).contains(QString::fromUtf8("読めません")));
    for (const char* base :
         {"/fault/404/q?s=銘柄.市場", "/fault/404/q?s=銘柄.市場", "/q?s=銘柄.市場"}) {
        P().BaseUrl() = Utf8ToCp932(HostTemplate(base));
        P().Timer(ids::kTimerRefresh);
        ASSERT_TRUE(WaitForPasses());
        const bool stopped = std::string_view(base).starts_with("/fault");
        EXPECT_EQ(band->isVisibleTo(&*dlg_), stopped) << base;
        EXPECT_EQ(Cell(0, ids::kColPrice), price);  // a failed read keeps the figures
        EXPECT_EQ(dlg_->findChild<ListToolTip*>()->TextAt(row0).contains(
                      QString::fromUtf8("読めません（")),
                  stopped);
        if (!stopped) continue;
        EXPECT_TRUE(band->text().startsWith(QString::fromUtf8("ページを読めません（")));
        dlg_->setWindowState(Qt::WindowMinimized);  // into the tray: its tip says so first
        EXPECT_TRUE(P().TrayTip().starts_with(Sj("読めません（"))) << Cp932ToUtf8(P().TrayTip());
        dlg_->OnCommand(ids::kCmdOpenMain);
    }
}

}  // namespace
}  // namespace tickora::test
