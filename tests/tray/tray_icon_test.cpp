#include "../app/window_fixture.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "quotes/extract.h"

namespace tickora::test {
namespace {

const std::vector<IniRow> kThreeRows = Rows("8058,7203,6501");

TEST_F(WindowTest, MinimiseShowsTheTrayRowsTipAndIcon) {
    WriteIni(kThreeRows);
    CQuoteDlg& dlg = Start(TrayHostKind::XEmbed);
    ASSERT_TRUE(WaitForPasses());
    P().SelectRow(2);
    dlg.showMinimized();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(P().TrayIcon(), 1);
    EXPECT_EQ(P().SelectedItem(), 2);
    EXPECT_EQ(P().TrayTip(), FormatTrayTip(P().Model().Row(2)));
    EXPECT_EQ(P().TrayIconImage(), TrayIconFor(P().Cell(2, ids::kColChange)));
    EXPECT_TRUE(P().TimerRunning(ids::kTimerTip));
    EXPECT_EQ(P().TimerInterval(ids::kTimerTip), 2000);
    // A tick re-reads the row: a new change text gives a new tip and picture.
    P().Model().SetCells(2, {{ids::kColChange, "-5"}, {ids::kColMark, FallMark()}});
    P().Timer(ids::kTimerTip);
    EXPECT_EQ(P().TrayTip(), FormatTrayTip(P().Model().Row(2)));
    EXPECT_EQ(P().TrayIconImage(), TrayIconKind::Down);
    // While in the tray, nothing shows the window.
    dlg.show();
    dlg.setVisible(true);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(WindowTest, MinimiseWithAnEmptyListHidesWithTheEmptyTip) {
    WriteIni({});
    CQuoteDlg& dlg = Start(TrayHostKind::XEmbed);
    ASSERT_TRUE(WaitForPasses());
    dlg.showMinimized();
    EXPECT_EQ(P().TrayIcon(), 1);
    EXPECT_EQ(P().SelectedItem(), 0);
    EXPECT_EQ(P().TrayTip(), Sj("   \n\r現値 　前日差 "));
    EXPECT_EQ(P().TrayIconImage(), TrayIconKind::Flat);
    EXPECT_FALSE(P().TimerRunning(ids::kTimerRefresh));
    // Ticks and clicks do nothing until rows exist.
    P().UpdateTrayIcon("unchanged", 0);
    P().Timer(ids::kTimerTip);
    P().TrayNotify(QSystemTrayIcon::Trigger);
    EXPECT_EQ(P().TrayTip(), "unchanged");
}

TEST_F(WindowTest, WithoutANotificationAreaMinimisingKeepsTheWindowReachable) {
    for (const int startInTray : {0, 1}) {
        SCOPED_TRACE(startInTray);
        WriteIni({{"8058", "東証"}}, startInTray);
        CQuoteDlg& dlg = Start(TrayHostKind::None);
        ASSERT_TRUE(WaitForPasses());
        if (!startInTray) dlg.showMinimized();
        EXPECT_EQ(P().TrayIcon(), 1);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(dlg.isMinimized());
        // Restoring it from the task bar leaves the tray.
        dlg.showNormal();
        EXPECT_EQ(P().TrayIcon(), 0);
        EXPECT_FALSE(P().TimerRunning(ids::kTimerTip));
        // A notification area that appears later is used from the next minimise on.
        trayHost_->kind = TrayHostKind::XEmbed;
        dlg.showMinimized();
        EXPECT_EQ(P().TrayIcon(), 1);
        EXPECT_FALSE(dlg.isVisible());
        TearDown();
    }
}

TEST_F(WindowTest, ClicksStepThroughTheRowsAndADoubleClickRestoresOneBack) {
    WriteIni(kThreeRows, 0, 0);
    CQuoteDlg& dlg = Start(TrayHostKind::XEmbed);
    ASSERT_TRUE(WaitForPasses());
    P().SelectRow(2);
    P().Minimize();
    for (const int expected : {0, 1, 2, 0, 1}) {
        P().TrayNotify(QSystemTrayIcon::Trigger);
        EXPECT_EQ(P().SelectedItem(), expected);
        EXPECT_EQ(P().TrayTip(), FormatTrayTip(P().Model().Row(expected)));
    }
    // The double click's first press has stepped already: restoring steps back.
    P().TrayNotify(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(P().SelectedItem(), 0);
    EXPECT_EQ(P().TrayIcon(), 0);
    EXPECT_FALSE(P().TrayIconObject());
    EXPECT_FALSE(P().TimerRunning(ids::kTimerTip));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(P().SelectedRow(), 0);
    // Updating a deleted icon changes nothing.
    P().UpdateTrayIcon("x", 1);
    EXPECT_NE(P().TrayTip(), "x");
}

TEST_F(WindowTest, RowsDeletedUnderTheTrayRowWrapToZeroAndOpenMainKeepsTheRow) {
    WriteIni(kThreeRows, 0, 2);
    CQuoteDlg& dlg = Start(TrayHostKind::XEmbed);
    ASSERT_TRUE(WaitForPasses());
    P().Minimize();
    P().SelectedItem() = 2;
    P().Model().RemoveAt(2);
    P().Results().pop_back();
    P().Timer(ids::kTimerTip);
    EXPECT_EQ(P().SelectedItem(), 0);
    P().TrayNotify(QSystemTrayIcon::Trigger);
    ASSERT_EQ(P().SelectedItem(), 1);
    dlg.OnCommand(ids::kCmdOpenMain);
    EXPECT_EQ(P().SelectedItem(), 1);
    EXPECT_EQ(P().SelectedRow(), 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(P().TrayIcon(), 0);
}

TEST_F(WindowTest, StartInTheTrayNeverShowsTheWindowAndStillRefreshes) {
    WriteIni({{"8058", "東証"}}, 1);
    CQuoteDlg& dlg = Start(TrayHostKind::XEmbed);
    EXPECT_EQ(P().TrayIcon(), 1);
    EXPECT_EQ(P().TrayTip(), "meigara");
    EXPECT_FALSE(P().TrayIconImage().has_value());  // the program icon
    EXPECT_TRUE(P().TimerRunning(ids::kTimerTip));
    EXPECT_EQ(P().Connected(), 1);
    EXPECT_FALSE(dlg.isVisible());
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(host_.Requests().size(), 4u);
    EXPECT_EQ(P().TrayTip(), "meigara");  // until the first tick
    P().Timer(ids::kTimerTip);
    EXPECT_TRUE(P().TrayTip().starts_with(RiseMark() + " 8058 "));
    EXPECT_FALSE(dlg.isVisible());
}

}  // namespace
}  // namespace tickora::test
