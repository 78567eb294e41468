#include <QKeyEvent>
#include <QPushButton>
#include <set>

#include "common/control_ids.h"
#include "common/leading_int.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "tray/menus.h"
#include "window_fixture.h"

namespace tickora::test {
namespace {

const std::vector<IniRow> kThreeRows = {{"8058", "東証"}, {"7203", "東証"}, {"6501", "大証"}};

TEST(CommandTable, EveryMenuCommandAndButtonIsRoutedOnce) {
    std::set<int> ids;
    for (const auto& entry : CQuoteDlg::CommandTable())
        EXPECT_TRUE(ids.insert(entry.id).second) << "routed twice: " << entry.id;
    std::vector<int> expected = {ids::kAddButton,     ids::kSettingsButton,   ids::kChartButton,
                                 ids::kConnectButton, ids::kDisconnectButton, ids::kHomeLink,
                                 ids::kNikkeiLine,    ids::kTopixLine,        ids::kJasdaqLine};
    for (const auto& item : kListMenu) expected.push_back(item.id);
    for (const auto& item : kTrayMenu) expected.push_back(item.id);
    for (const auto& item : kSettingsMenu) expected.push_back(item.id);
    for (int row = 0; row < ids::kMaxRows; ++row) expected.push_back(ids::kCmdTrayStockFirst + row);
    for (const int id : expected) {
        if (id == 0) continue;  // a separator
        EXPECT_TRUE(ids.count(id)) << "not routed: " << id;
    }
}

TEST_F(WindowTest, TitleFocusTabOrderAndHiddenControls) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("TICKORA株価 ver.060505"));
    EXPECT_EQ(dlg.focusWidget(), P().Control(ids::kCodeEdit));
    QApplication::setActiveWindow(&dlg);
    // Tab walks the six tab stops in this order and wraps.
    const int order[] = {1001, 1020, 1007, 1043, 1010, 1009, 1001};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* from = P().Control(order[i]);
        from->setFocus();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(from, &tab);
        EXPECT_EQ(QApplication::focusWidget(), P().Control(order[i + 1])) << order[i];
    }
    for (const int id : {1026, 1023, 1024}) EXPECT_FALSE(P().Control(id)->isVisible()) << id;
    EXPECT_EQ(P().Interval()->value(), 60);
    EXPECT_EQ(P().ToolTip()->PendingDelayMs(), 1000);
}

TEST_F(WindowTest, StartWithRowsConnectsAndTheFirstPassFillsTheWindow) {
    WriteIni(kThreeRows, 0, 1);
    Start();
    EXPECT_EQ(P().Connected(), 1);
    EXPECT_FALSE(P().Control(ids::kConnectButton)->isEnabled());
    EXPECT_TRUE(P().Control(ids::kDisconnectButton)->isEnabled());
    EXPECT_EQ(P().TimerInterval(ids::kTimerRefresh), 60000);
    EXPECT_TRUE(P().TimerRunning(ids::kTimerRefresh));
    EXPECT_FALSE(P().TimerRunning(ids::kTimerTip));
    EXPECT_EQ(P().SelectedRow(), 1);
    ASSERT_EQ(P().Results().size(), 3u);

    ASSERT_TRUE(WaitForPasses());
    for (int row = 0; row < 3; ++row) {
        EXPECT_GT(LeadingInt(P().Cell(row, ids::kColPrice)), 0) << row;
        EXPECT_FALSE(P().Results()[static_cast<std::size_t>(row)].empty()) << row;
    }
    // The host's codes ending in an even digit rise, odd ones fall.
    EXPECT_EQ(P().Cell(0, ids::kColMark), RiseMark());
    EXPECT_EQ(P().Cell(1, ids::kColMark), FallMark());
    EXPECT_TRUE(P().Text(ids::kTopixLine).starts_with("TOPIX ( "));
    EXPECT_EQ(P().Text(ids::kStatus), "");
    EXPECT_EQ(host_.Requests().size(), 6u);  // entry row empty, three indices, three rows
}

TEST_F(WindowTest, StartWithAnEmptyListStaysDisconnectedAndStillRunsOnePass) {
    WriteIni({});
    Start();
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(host_.Requests().size(), 3u);
    // Both buttons only move the focus while there is nothing to connect.
    for (const int id : {ids::kDisconnectButton, ids::kConnectButton}) {
        static_cast<QPushButton*>(P().Control(id))->click();
        EXPECT_EQ(P().Connected(), 0);
        EXPECT_FALSE(P().TimerRunning(ids::kTimerRefresh));
        EXPECT_TRUE(P().Control(ids::kConnectButton)->isEnabled());
        EXPECT_TRUE(P().Control(ids::kDisconnectButton)->isEnabled());
        EXPECT_EQ(
            QApplication::focusWidget(),
            P().Control(id == ids::kConnectButton ? ids::kDisconnectButton : ids::kConnectButton));
    }
}

TEST_F(WindowTest, ConnectAndDisconnectSwapButtonsAndTimer) {
    WriteIni({{"8058", "東証"}});
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    const struct {
        int button, connected;
        bool timer;
    } steps[] = {
        {ids::kDisconnectButton, 0, false},
        {ids::kDisconnectButton, 0, false},
        {ids::kConnectButton, 1, true},
        {ids::kConnectButton, 1, true},
    };
    for (const auto& s : steps) {
        dlg.OnCommand(s.button);
        EXPECT_EQ(P().Connected(), s.connected);
        EXPECT_EQ(P().Control(ids::kConnectButton)->isEnabled(), !s.timer);
        EXPECT_EQ(P().Control(ids::kDisconnectButton)->isEnabled(), s.timer);
        EXPECT_EQ(P().TimerRunning(ids::kTimerRefresh), s.timer);
    }
    // The period is read from the interval control at every connect.
    static_cast<QPushButton*>(P().Control(ids::kDisconnectButton))->click();
    P().Interval()->setValue(5);
    static_cast<QPushButton*>(P().Control(ids::kConnectButton))->click();
    EXPECT_EQ(P().TimerInterval(ids::kTimerRefresh), 5000);
}

TEST_F(WindowTest, ShutDownSavesTheListOnceAndIsIdempotent) {
    WriteIni(kThreeRows, 0, 2);
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    P().Model().RemoveAt(1);
    P().Results().erase(P().Results().begin() + 1);
    P().ChkGoTask() = 1;
    dlg.OnCommand(ids::kCmdClose);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(P().TimerRunning(ids::kTimerRefresh));
    EXPECT_FALSE(P().TimerRunning(ids::kTimerTip));
    EXPECT_TRUE(P().GatewayClosed());
    // What was edited reached the file once, at the end.
    const std::string saved = Cp932ToUtf8(dir_.Read("base_data.ini"));
    EXPECT_NE(saved.find("NUM1=6501\r\nSIJOU1=大証\r\nKOSUU=2\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("CHKGOTASK=1"), std::string::npos);
    // A second end (the destructor's) writes nothing again.
    dir_.Write("base_data.ini", "untouched");
    TearDown();
    EXPECT_EQ(dir_.Read("base_data.ini"), "untouched");
}

}  // namespace
}  // namespace tickora::test
