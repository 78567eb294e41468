#include "common/control_ids.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "../app/window_fixture.h"

namespace tickora::test {
namespace {

void SetRow(CQuoteDlg& dlg, int row, const RowCells& cells) {
    for (int c = 0; c < ids::kColumnCount; ++c)
        dlg.m_pModel->SetCell(row, c, cells[static_cast<std::size_t>(c)]);
}

RowCells MakeRow(const char* code, const char* nameUtf8, const char* change, const char* mark) {
    RowCells cells;
    cells[ids::kColCode] = code;
    cells[ids::kColName] = Sj(nameUtf8);
    cells[ids::kColMarket] = Sj("東証");
    cells[ids::kColTime] = "15:00";
    cells[ids::kColPrice] = "1,234";
    cells[ids::kColChange] = change;
    cells[ids::kColRatio] = "";
    cells[ids::kColVolume] = "100";
    cells[ids::kColMark] = Sj(mark);
    return cells;
}

bool EndsOnCharacterBoundary(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i == text.size();
}

class TrayTest : public WindowTest {};

TEST_F(TrayTest, TipTextIconAndTheSixtyThreeByteCut) {
    struct Case {
        RowCells row;
        std::string tip;  // expected, CP932
        TrayIconKind icon;
    };
    const Case cases[] = {
        {MakeRow("8058", "東西精機", "+12", "△ "),
         Sj("△  8058 東西精機 15:00\n\r現値 1,234　前日差 +12"), TrayIconKind::Up},
        {MakeRow("7203", "蒼穹海運", "-3", "▼ "), Sj("▼  7203 蒼穹海運 15:00\n\r現値 1,234　前日差 -3"),
         TrayIconKind::Down},
        {MakeRow("6501", "凪野製紙", "-0.5", "－ "), Sj("－  6501 凪野製紙 15:00\n\r現値 1,234　前日差 -0.5"),
         TrayIconKind::Flat},
        {MakeRow("6502", "x", "---", "－ "), Sj("－  6502 x 15:00\n\r現値 1,234　前日差 ---"),
         TrayIconKind::Flat},
        // The cut falls inside the name: 26 characters fit in 62 bytes, the 27th would
        // end at byte 64.
        {MakeRow("99999", "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ", "+1", "△ "),
         Sj("△  99999 あいうえおかきくけこさしすせそたちつてとなにぬねのは"), TrayIconKind::Up},
    };
    WriteIni({{"8058", "東証"}});
    CQuoteDlg& dlg = Start(1);
    ASSERT_TRUE(WaitForPasses());
    dlg.OnMinimize();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row[ids::kColCode]);
        SetRow(dlg, 0, c.row);
        dlg.OnTimer(ids::kTimerTip);
        EXPECT_EQ(dlg.m_strTrayTip, c.tip);
        EXPECT_LE(dlg.m_strTrayTip.size(), 63u);
        EXPECT_TRUE(EndsOnCharacterBoundary(dlg.m_strTrayTip));
        EXPECT_EQ(dlg.m_trayIconKind, c.icon);
    }
    // The long name is cut before the character that would not fit whole.
    EXPECT_EQ(dlg.m_strTrayTip.size(), 62u);
}

TEST_F(TrayTest, MinimiseWithAnEmptyListHidesWithTheEmptyTip) {
    WriteIni({});
    CQuoteDlg& dlg = Start(1);
    ASSERT_TRUE(WaitForPasses());
    dlg.showMinimized();
    EXPECT_EQ(dlg.m_bTrayIcon, 1);
    EXPECT_EQ(dlg.m_nSelectedItem, 0);
    EXPECT_EQ(dlg.m_strTrayTip, Sj("   \n\r現値 　前日差 "));
    EXPECT_EQ(dlg.m_trayIconKind, TrayIconKind::Flat);
    EXPECT_TRUE(dlg.TimerRunning(ids::kTimerTip));
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerRefresh));
    EXPECT_FALSE(dlg.isVisible());
    // While in the tray, nothing shows the window.
    dlg.show();
    EXPECT_FALSE(dlg.isVisible());
    // Ticks and clicks do nothing until rows exist.
    dlg.m_strTrayTip = "unchanged";
    dlg.OnTimer(ids::kTimerTip);
    dlg.OnTrayNotify(QSystemTrayIcon::Trigger);
    EXPECT_EQ(dlg.m_strTrayTip, "unchanged");
}

TEST_F(TrayTest, WithoutANotificationAreaMinimisingKeepsTheWindowReachable) {
    WriteIni({{"8058", "東証"}});
    CQuoteDlg& dlg = Start(0);
    ASSERT_TRUE(WaitForPasses());
    dlg.showMinimized();
    EXPECT_EQ(dlg.m_bTrayIcon, 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.isMinimized());
    // Restoring it from the task bar leaves the tray.
    dlg.showNormal();
    EXPECT_EQ(dlg.m_bTrayIcon, 0);
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerTip));
}

TEST_F(TrayTest, MinimiseTakesTheSelectedRowAndClicksStepThroughTheRows) {
    WriteIni({{"8058", "東証"}, {"7203", "東証"}, {"6501", "東証"}}, 0, 0);
    CQuoteDlg& dlg = Start(1);
    ASSERT_TRUE(WaitForPasses());
    dlg.SelectRow(2);
    dlg.OnMinimize();
    EXPECT_EQ(dlg.m_nSelectedItem, 2);
    EXPECT_EQ(dlg.m_strTrayTip.find(" 6501 "), 3u);  // after the mark "▼ " (3 bytes)
    const int expectedRows[] = {0, 1, 2, 0};
    for (const int expected : expectedRows) {
        dlg.OnTrayNotify(QSystemTrayIcon::Trigger);
        EXPECT_EQ(dlg.m_nSelectedItem, expected);
        EXPECT_NE(dlg.m_strTrayTip.find(dlg.m_pModel->Cell(expected, ids::kColCode)),
                  std::string::npos);
    }
    // A double click's first press has stepped already: restoring steps back.
    dlg.OnTrayNotify(QSystemTrayIcon::Trigger);  // row 1
    dlg.OnTrayNotify(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(dlg.m_nSelectedItem, 0);
    EXPECT_EQ(dlg.m_bTrayIcon, 0);
    EXPECT_EQ(dlg.m_pTrayIcon, nullptr);
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerTip));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isMinimized());
    EXPECT_EQ(dlg.SelectedRow(), 0);
    // Updating a deleted icon changes nothing.
    dlg.UpdateTrayIcon("x", 1);
    EXPECT_NE(dlg.m_strTrayTip, "x");
}

TEST_F(TrayTest, RowsDeletedUnderTheTrayRowWrapToZeroAndOpenMainKeepsTheRow) {
    WriteIni({{"8058", "東証"}, {"7203", "東証"}, {"6501", "東証"}}, 0, 2);
    CQuoteDlg& dlg = Start(1);
    ASSERT_TRUE(WaitForPasses());
    dlg.OnMinimize();
    dlg.SelectRow(0);
    dlg.m_nSelectedItem = 2;
    dlg.m_pModel->RemoveRow(2);
    dlg.m_arrResults.pop_back();
    dlg.OnTimer(ids::kTimerTip);
    EXPECT_EQ(dlg.m_nSelectedItem, 0);
    EXPECT_NE(dlg.m_strTrayTip.find("8058"), std::string::npos);
    dlg.OnTrayNotify(QSystemTrayIcon::Trigger);
    ASSERT_EQ(dlg.m_nSelectedItem, 1);
    dlg.OnOpenMain();
    EXPECT_EQ(dlg.m_nSelectedItem, 1);
    EXPECT_EQ(dlg.SelectedRow(), 1);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_bTrayIcon, 0);
}

TEST_F(TrayTest, StartInTheTrayNeverShowsTheWindowAndStillRefreshes) {
    WriteIni({{"8058", "東証"}}, 1);
    CQuoteDlg& dlg = Start(1);
    EXPECT_EQ(dlg.m_bTrayIcon, 1);
    EXPECT_EQ(dlg.m_strTrayTip, "meigara");
    EXPECT_FALSE(dlg.m_trayIconKind.has_value());  // the program icon
    EXPECT_TRUE(dlg.TimerRunning(ids::kTimerTip));
    EXPECT_EQ(dlg.m_timerTip.interval(), 2000);
    EXPECT_EQ(dlg.m_bConnected, 1);
    EXPECT_FALSE(dlg.isVisible());
    dlg.show();
    dlg.setVisible(true);
    EXPECT_FALSE(dlg.isVisible());
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(host_.Requests().size(), 4u);
    EXPECT_EQ(dlg.m_strTrayTip, "meigara");  // until the first tick
    dlg.OnTimer(ids::kTimerTip);
    EXPECT_EQ(dlg.m_strTrayTip.find(RiseMark() + " 8058 "), 0u);
    EXPECT_EQ(dlg.m_trayIconKind, TrayIconKind::Up);
}

TEST_F(TrayTest, StartInTheTrayWithoutANotificationAreaShowsTheWindowMinimised) {
    WriteIni({{"8058", "東証"}}, 1);
    CQuoteDlg& dlg = Start(0);
    EXPECT_EQ(dlg.m_bTrayIcon, 1);
    EXPECT_EQ(dlg.m_strTrayTip, "meigara");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.isMinimized());
    ASSERT_TRUE(WaitForPasses());
}

}  // namespace
}  // namespace tickora::test
