#include <QMenu>
#include <QSignalSpy>
#include <QWindow>

#include "../app/window_fixture.h"
#include "common/quote.h"
#include "tray/menu_pictures.h"

namespace tickora::test {
namespace {

// One trip to the tray and back, then two short ones: the tip and picture follow the tray
// row, clicks step through the rows, and each way out restores the window.
TEST_F(WindowTest, TheTrayRowFollowsTicksClicksAndDeletionsUntilTheWindowComesBack) {
    CQuoteDlg& dlg = Launch(Rows("8058,7203,6501"), 0, 0, "", TrayHostKind::XEmbed);
    SelectRow(2);
    dlg.showMinimized();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(P().TrayIcon(), 1);
    EXPECT_EQ(P().SelectedItem(), 2);
    EXPECT_EQ(P().TrayTip(), FormatTrayTip(Model().Row(2)));
    EXPECT_EQ(P().TrayIconImage(), TrayIconFor(Cell(2, ids::kColChange)));
    EXPECT_TRUE(TimerRunning(ids::kTimerTip));
    // While in the tray, nothing shows the window, and it has no native window that a task
    // switcher or another program could map.
    dlg.show();
    EXPECT_FALSE(dlg.isVisible());
    ASSERT_TRUE(WaitUntil([&] { return dlg.windowHandle() == nullptr; }, 5000));
    // The tray row deleted under it: the next tick wraps to row 0, and a click steps on.
    Model().RemoveAt(2);
    P().Results().pop_back();
    P().Timer(ids::kTimerTip);
    EXPECT_EQ(P().SelectedItem(), 0);
    TrayNotify(QSystemTrayIcon::Trigger);
    EXPECT_EQ(P().SelectedItem(), 1);
    EXPECT_EQ(P().TrayTip(), FormatTrayTip(Model().Row(1)));
    // The double click's first press has stepped already: restoring steps back.
    TrayNotify(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(P().SelectedItem(), 0);
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_NE(dlg.windowHandle(), nullptr);
    EXPECT_TRUE(dlg.windowHandle()->isExposed() || dlg.windowHandle()->isVisible());
    EXPECT_FALSE(TrayIconObject());
    EXPECT_FALSE(TimerRunning(ids::kTimerTip));
    // "メインウィンドウを開く" keeps the tray row as it is.
    dlg.showMinimized();
    TrayNotify(QSystemTrayIcon::Trigger);
    dlg.OnCommand(ids::kCmdOpenMain);
    EXPECT_EQ(P().SelectedItem(), 1);
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(P().TrayIcon(), 0);
    // A status-notifier host sends no double click: the second of two activations is one.
    const int interval = QApplication::doubleClickInterval();
    QApplication::setDoubleClickInterval(60'000);  // two calls in a row always pair
    trayHost_->kind = TrayHostKind::StatusNotifier;
    SelectRow(0);
    dlg.showMinimized();
    TrayNotify(QSystemTrayIcon::Trigger);  // steps to row 1
    const bool hiddenBetween = !dlg.isVisible();
    TrayNotify(QSystemTrayIcon::Trigger);
    QApplication::setDoubleClickInterval(interval);
    EXPECT_TRUE(hiddenBetween);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(P().SelectedItem(), 0);
}

TEST_F(WindowTest, WithoutANotificationAreaMinimisingKeepsTheWindowReachable) {
    for (const int startInTray : {0, 1}) {
        SCOPED_TRACE(startInTray);
        CQuoteDlg& dlg = Launch(Rows("8058"), startInTray);
        if (!startInTray) dlg.showMinimized();
        EXPECT_EQ(P().TrayIcon(), 1);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(dlg.isMinimized());
        // Restoring it from the task bar leaves the tray.
        dlg.showNormal();
        EXPECT_EQ(P().TrayIcon(), 0);
        EXPECT_FALSE(TimerRunning(ids::kTimerTip));
        // A notification area that appears later is used from the next minimise on.
        trayHost_->kind = TrayHostKind::XEmbed;
        dlg.showMinimized();
        EXPECT_EQ(P().TrayIcon(), 1);
        EXPECT_FALSE(dlg.isVisible());
        TearDown();
    }
}

// The menu's lines themselves are the menu builder's business; here, the actions made of them.
TEST_F(WindowTest, StartedInTheTrayTheWindowStaysHiddenAndTheMenuRoutesItsCommands) {
    CQuoteDlg& dlg = Launch(Rows("8058,7203"), 1, 0, "", TrayHostKind::XEmbed);
    EXPECT_EQ(P().TrayIcon(), 1);
    // The program's tip and icon until the first tick, which shows the refreshed row.
    EXPECT_EQ(P().TrayTip(), "meigara");
    EXPECT_FALSE(P().TrayIconImage().has_value());
    EXPECT_TRUE(TimerRunning(ids::kTimerTip));
    P().Timer(ids::kTimerTip);
    EXPECT_TRUE(P().TrayTip().starts_with(RiseMark() + " 8058 "));
    EXPECT_EQ(P().TrayIconImage(), TrayIconKind::Up);
    EXPECT_FALSE(dlg.isVisible());
    // A tick that finds nothing new puts the timer to sleep; a change to the list wakes it,
    // and its next tick shows the change.
    EXPECT_TRUE(TimerRunning(ids::kTimerTip));
    P().Timer(ids::kTimerTip);
    EXPECT_FALSE(TimerRunning(ids::kTimerTip));
    Model().SetCells(0, {{ids::kColPrice, "9,999"}});
    EXPECT_TRUE(TimerRunning(ids::kTimerTip));
    EXPECT_NE(P().TrayTip(), FormatTrayTip(Model().Row(0)));
    P().Timer(ids::kTimerTip);
    EXPECT_EQ(P().TrayTip(), FormatTrayTip(Model().Row(0)));
    P().SelectedItem() = 5;
    Model().SetCells(1, {{ids::kColName, "A&B"}});
    QMenu* menu = TrayIconObject()->contextMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 11);
    EXPECT_TRUE(actions[0]->text().startsWith(QString::fromUtf8("日経平均 (")));
    EXPECT_TRUE(actions[3]->text().contains("A&&B"));  // no mnemonic from a stock's name
    // The tray row pointed past the end: row 0 is checked and shows its checked picture.
    EXPECT_EQ(P().SelectedItem(), 0);
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_FALSE(actions[3]->isChecked());
    EXPECT_EQ(actions[2]->icon().pixmap(11, QIcon::Normal, QIcon::On).toImage(),
              DrawMenuPicture(MenuPicture::Up, true).toImage());
    EXPECT_EQ(actions[3]->icon().pixmap(11).toImage(),
              DrawMenuPicture(MenuPicture::Down, false).toImage());
    // A stock becomes the tray row; its link opens only with the flag at exactly 1.
    P().ChkOpenUrl() = 7;
    QSignalSpy trayRow(&dlg, &CQuoteDlg::TrayRowChanged);
    actions[3]->trigger();  // the command runs once the menu has closed
    ASSERT_TRUE(trayRow.wait(5000));
    EXPECT_EQ(trayRow.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(P().SelectedItem(), 1);
    EXPECT_NE(P().TrayTip().find(" 7203 "), std::string::npos);
    EXPECT_TRUE(opener_->urls.empty());
    // The toggles flip their flags, and the menu made afresh shows them.
    EXPECT_TRUE(actions[8]->isChecked());
    for (QAction* toggle : {actions[7], actions[7], actions[8]}) toggle->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(P().ChkOpenUrl(), 1);
    EXPECT_EQ(P().ChkGoTask(), 0);
    actions[2]->trigger();  // now with the flag at 1, the row's link
    ASSERT_TRUE(trayRow.wait(5000));
    EXPECT_EQ(opener_->urls.size(), 1u);
    emit menu->aboutToShow();
    EXPECT_TRUE(menu->actions()[7]->isChecked());
    EXPECT_FALSE(menu->actions()[8]->isChecked());
    // With no rows the separators around them stand side by side, both drawn.
    Model().Clear();
    menu->popup(QPoint(0, 0));
    ASSERT_TRUE(menu->actions()[1]->isSeparator() && menu->actions()[2]->isSeparator());
    EXPECT_FALSE(menu->actionGeometry(menu->actions()[1]).isEmpty());
    EXPECT_FALSE(menu->actionGeometry(menu->actions()[2]).isEmpty());
    menu->close();
    // "閉じる" ends the program as the close box does.
    QSignalSpy finished(&dlg, &QDialog::finished);
    menu->actions().back()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
}

}  // namespace
}  // namespace tickora::test
