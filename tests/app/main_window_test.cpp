#include <QAccessible>
#include <QPushButton>
#include <map>

#include "app/dialog_layout.h"
#include "common/leading_int.h"
#include "tray/menus.h"
#include "window_fixture.h"

namespace tickora::test {
namespace {

// Every button, clickable text, menu item, tray stock item and key has one entry in the
// action table, and every entry runs something.
TEST(ActionTable, EveryCommandKeyAndMenuItemHasOneEntryThatRunsSomething) {
    std::map<int, const CQuoteDlg::Action*> claimed;
    for (const auto& action : CQuoteDlg::Actions()) {
        EXPECT_NE(action.run == nullptr, action.runRow == nullptr) << "runs nothing: " << action.id;
        EXPECT_EQ(action.key == 0, action.keyScope == CQuoteDlg::KeyScope::None) << action.id;
        const int span = action.runRow ? ids::kMaxRows : 1;
        for (int id = action.id; id < action.id + span; ++id)
            EXPECT_TRUE(claimed.emplace(id, &action).second) << "claimed twice: " << id;
    }
    std::vector<int> commands(std::begin(ids::kClickableStatics), std::end(ids::kClickableStatics));
    for (const ControlDef& def : kMainLayout)
        if (def.kind == ControlKind::Button) commands.push_back(def.id);
    for (int row = 0; row < ids::kMaxRows; ++row) commands.push_back(ids::kCmdTrayStockFirst + row);
    for (const int id : commands) EXPECT_TRUE(claimed.count(id)) << "no entry: " << id;
    const auto expectItems = [&](const auto& menu) {
        for (const int id : menu) {
            if (id == 0) continue;  // a separator
            ASSERT_TRUE(claimed.count(id)) << "menu item without an entry: " << id;
            EXPECT_NE(claimed[id]->text, nullptr) << "menu item without a text: " << id;
        }
    };
    expectItems(kListMenu);
    expectItems(kTrayMenu);
    expectItems(kSettingsMenu);
}

TEST_F(WindowTest, AnEmptyListStartsDisconnectedAndGoesToTheTrayWithTheEmptyTip) {
    CQuoteDlg& dlg = Launch({}, 0, 0, "", TrayHostKind::XEmbed);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("TICKORA株価 ver.060505"));
    EXPECT_EQ(dlg.focusWidget(), Control(ids::kCodeEdit));
    for (const int id : {1026, 1023, 1024}) EXPECT_FALSE(Control(id)->isVisible()) << id;
    EXPECT_EQ(dlg_->findChild<ListToolTip*>()->PendingDelayMs(), 1000);
    // One pass still ran, for the three indices only.
    EXPECT_EQ(host_.Requests().size(), 3u);
    // Both buttons only move the focus while there is nothing to connect.
    for (const int id : {ids::kDisconnectButton, ids::kConnectButton}) {
        static_cast<QPushButton*>(Control(id))->click();
        EXPECT_EQ(P().Connected(), 0);
        EXPECT_FALSE(TimerRunning(ids::kTimerRefresh));
        EXPECT_TRUE(Control(ids::kConnectButton)->isEnabled());
        EXPECT_TRUE(Control(ids::kDisconnectButton)->isEnabled());
        EXPECT_EQ(
            QApplication::focusWidget(),
            Control(id == ids::kConnectButton ? ids::kDisconnectButton : ids::kConnectButton));
    }
    dlg.showMinimized();
    EXPECT_EQ(P().SelectedItem(), 0);
    EXPECT_EQ(P().TrayTip(), Sj("   \n\r現値 　前日差 "));
    EXPECT_EQ(P().TrayIconImage(), TrayIconKind::Flat);
    // Ticks and clicks leave the tray row alone until rows exist.
    P().SelectedItem() = 3;
    P().Timer(ids::kTimerTip);
    TrayNotify(QSystemTrayIcon::Trigger);
    EXPECT_EQ(P().SelectedItem(), 3);
}

// Start, first pass, the connect buttons, and the end with its one save.
TEST_F(WindowTest, WithRowsTheWindowConnectsFillsAndSavesOnceAtTheEnd) {
    CQuoteDlg& dlg = Launch({{"8058", "東証"}, {"7203", "東証"}, {"6501", "大証"}}, 0, 1);
    auto expectConnected = [&](bool on) {
        EXPECT_EQ(P().Connected(), on ? 1 : 0);
        EXPECT_EQ(Control(ids::kConnectButton)->isEnabled(), !on);
        EXPECT_EQ(Control(ids::kDisconnectButton)->isEnabled(), on);
        EXPECT_EQ(TimerRunning(ids::kTimerRefresh), on);
    };
    expectConnected(true);
    EXPECT_EQ(TimerOf(ids::kTimerRefresh)->interval(), 60000);
    EXPECT_EQ(SelectedRow(), 1);
    for (int row = 0; row < 3; ++row) EXPECT_GT(LeadingInt(Cell(row, ids::kColPrice)), 0) << row;
    EXPECT_TRUE(Text(ids::kTopixLine).starts_with("TOPIX ( "));
    // Each button twice: the second press changes nothing. The period is read at connect.
    static_cast<QSpinBox*>(Control(ids::kIntervalSpin))->setValue(5);
    for (const int id : {ids::kDisconnectButton, ids::kDisconnectButton, ids::kConnectButton,
                         ids::kConnectButton}) {
        static_cast<QPushButton*>(Control(id))->click();
        expectConnected(id == ids::kConnectButton);
    }
    EXPECT_EQ(TimerOf(ids::kTimerRefresh)->interval(), 5000);

    Model().RemoveAt(1);
    P().Results().erase(P().Results().begin() + 1);
    P().ChkGoTask() = 1;
    dlg.OnCommand(ids::kCmdClose);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(TimerRunning(ids::kTimerRefresh));
    EXPECT_FALSE(TimerRunning(ids::kTimerTip));
    EXPECT_EQ(P().Workers(), 0u);
    // What was edited reached the file once, at the end.
    const std::string saved = Cp932ToUtf8(dir_.Read("base_data.ini"));
    EXPECT_NE(saved.find("NUM1=6501\r\nSIJOU1=大証\r\nKOSUU=2\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("CHKGOTASK=1"), std::string::npos);
    // A second end (the destructor's) writes nothing again.
    dir_.Write("base_data.ini", "untouched");
    TearDown();
    EXPECT_EQ(dir_.Read("base_data.ini"), "untouched");
}

// Tab and Shift+Tab step through the enabled stops of the window in their order, whether or
// not the list holds rows.
TEST_F(WindowTest, TabStepsThroughTheEnabledStopsInOrder) {
    const int stops[] = {ids::kCodeEdit,       ids::kMarketCombo,   ids::kWatchList,
                         ids::kSettingsButton, ids::kConnectButton, ids::kDisconnectButton};
    for (const char* rows : {"", "8058,7203,6501"}) {
        SCOPED_TRACE(rows);
        QApplication::setActiveWindow(&Launch(Rows(rows)));
        std::vector<int> enabled;
        for (const int id : stops)
            if (Control(id)->isEnabled()) enabled.push_back(id);
        ASSERT_GE(enabled.size(), 5u);  // connected, the connect button is off
        const auto focused = [] { return QApplication::focusWidget()->objectName().toInt(); };
        for (const bool back : {false, true}) {
            Control(ids::kCodeEdit)->setFocus();
            for (std::size_t step = 1; step <= enabled.size(); ++step) {
                QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                                back ? Qt::ShiftModifier : Qt::NoModifier);
                const std::size_t at = back ? enabled.size() - step : step % enabled.size();
                EXPECT_EQ(focused(), enabled[at]) << (back ? "Shift+Tab " : "Tab ") << step;
            }
        }
        TearDown();
    }
}

// What a screen reader hears of the window: every control it can reach by Tab has a name,
// the market selector is labelled, the status says what it shows and the mark is a word.
TEST_F(WindowTest, AScreenReaderHearsEveryControlByName) {
    Launch(Rows("8058,7203"));
    for (QWidget* w : dlg_->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&*dlg_)) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
        // A combo box is heard by its item; what it is for comes from the label naming it.
        if (qobject_cast<QComboBox*>(w)) {
            EXPECT_FALSE(a->relations(QAccessible::Label).isEmpty())
                << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(Control(ids::kStatus)->accessibleName(), QString::fromUtf8("ステータス "));
    EXPECT_EQ(Model().data(Model().index(1, ids::kColMark), Qt::AccessibleTextRole).toString(),
              QString::fromUtf8("下落"));
}

}  // namespace
}  // namespace tickora::test
