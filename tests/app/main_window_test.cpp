#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "app/dialog_layout.h"
#include "app/list_tool_tip.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "window_fixture.h"

namespace tickora::test {
namespace {

// The next control the Tab key reaches.
QWidget* NextTabStop(QWidget* from) {
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(from->window()) && w->isEnabled() &&
            !w->objectName().isEmpty())
            return w;
    return nullptr;
}

const std::vector<IniRow> kThreeRows = {{"8058", "東証"}, {"7203", "東証"}, {"6501", "大証"}};

TEST_F(WindowTest, LayoutPlacesEveryControlFromTheTable) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    const BaseUnits units = dlg.m_baseUnits;
    ASSERT_GT(units.x, 0);
    ASSERT_GT(units.y, 0);
    EXPECT_EQ(dlg.size(), QSize(DuToPxX(351, units), DuToPxY(213, units)));
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("TICKORA株価 ver.060505"));
    EXPECT_EQ(dlg.m_strTitle, Sj("TICKORA株価 ver.060505"));
    int named = 0;
    for (const ControlDef& def : kMainLayout) {
        if (def.id == 0) continue;
        ++named;
        SCOPED_TRACE(def.id);
        auto* widget = dlg.findChild<QWidget*>(QString::number(def.id));
        ASSERT_NE(widget, nullptr);
        const QRect expected = DuToPx(QRect(def.x, def.y, def.width, def.height), units);
        EXPECT_EQ(widget->pos(), expected.topLeft());
        EXPECT_EQ(widget->width(), expected.width());
        if (def.kind != ControlKind::Combo) {
            EXPECT_EQ(widget->height(), expected.height());
        }
        EXPECT_EQ(widget->isVisible(), !def.hidden);
        EXPECT_EQ(widget->focusPolicy() == Qt::StrongFocus, def.tabStop);
    }
    EXPECT_EQ(named, 27);
    // The two unnamed labels exist and stay hidden.
    int hiddenLabels = 0;
    for (auto* label : dlg.findChildren<QLabel*>())
        if (label->objectName().isEmpty() && !label->isVisible() &&
            (label->text() == QString::fromUtf8("更新時間") || label->text() == "s"))
            ++hiddenLabels;
    EXPECT_EQ(hiddenLabels, 2);
}

TEST_F(WindowTest, TabOrderFocusColumnsSelectorAndTooltip) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(ids::kCodeEdit));
    for (std::size_t i = 0; i + 1 < kTabOrder.size(); ++i)
        EXPECT_EQ(NextTabStop(dlg.Control(kTabOrder[i])), dlg.Control(kTabOrder[i + 1]))
            << kTabOrder[i];

    ASSERT_EQ(dlg.m_pList->model()->columnCount(), 9);
    const char* headers[] = {"No.", "銘柄", "市場", "更新時", "現在値",
                             "前日差", "変化率", "出来高", "増減"};
    const int widths[] = {55, 135, 55, 55, 55, 55, 55, 84, 40};
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(dlg.m_pList->model()->headerData(c, Qt::Horizontal).toString(),
                  QString::fromUtf8(headers[c]));
        EXPECT_EQ(dlg.m_pList->columnWidth(c), widths[c]);
    }
    EXPECT_FALSE(dlg.m_pList->verticalHeader()->isVisible());
    EXPECT_EQ(dlg.m_pList->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(dlg.m_pList->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(dlg.m_pList->showGrid());

    ASSERT_EQ(dlg.m_cboMarket->count(), 7);
    const char* markets[] = {"東証", "ＪＱ", "ＨＣ", "大証", "名証", "福岡", "札幌"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(dlg.m_cboMarket->itemText(i), QString::fromUtf8(markets[i]));
    EXPECT_EQ(dlg.m_cboMarket->currentIndex(), 0);

    EXPECT_EQ(dlg.m_spinInterval->minimum(), 3);
    EXPECT_EQ(dlg.m_spinInterval->maximum(), 180);
    EXPECT_EQ(dlg.m_spinInterval->value(), 60);

    ASSERT_NE(dlg.m_tooltip, nullptr);
    EXPECT_EQ(dlg.m_tooltip->Text(), QString::fromUtf8("ダブルクリックでリンク表示"));
    EXPECT_EQ(dlg.m_tooltip->PendingDelayMs(), 1000);
    EXPECT_TRUE(dlg.testAttribute(Qt::WA_AlwaysShowToolTips));
}

TEST_F(WindowTest, StartWithRowsConnectsAndTheFirstPassFillsCellsAndIndexBand) {
    WriteIni(kThreeRows, 0, 1);
    CQuoteDlg& dlg = Start();
    EXPECT_EQ(dlg.m_bConnected, 1);
    EXPECT_FALSE(dlg.Control(ids::kConnectButton)->isEnabled());
    EXPECT_TRUE(dlg.Control(ids::kDisconnectButton)->isEnabled());
    EXPECT_TRUE(dlg.TimerRunning(ids::kTimerRefresh));
    EXPECT_EQ(dlg.m_timerRefresh.interval(), 60000);
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerTip));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.SelectedRow(), 1);
    ASSERT_EQ(dlg.RowCount(), 3);
    ASSERT_EQ(dlg.m_arrResults.size(), 3u);
    EXPECT_EQ(Cell(2, ids::kColMarket), Sj("大証"));

    ASSERT_TRUE(WaitForPasses());
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_FALSE(Cell(row, ids::kColName).empty());
        EXPECT_GT(std::atoi(Cell(row, ids::kColPrice).c_str()), 0);
        EXPECT_FALSE(Cell(row, ids::kColVolume).empty());
        EXPECT_EQ(Cell(row, ids::kColMark), RiseFallMark(Cell(row, ids::kColRatio)));
        EXPECT_FALSE(dlg.m_arrResults[static_cast<std::size_t>(row)].empty());
    }
    // The host's codes ending in an even digit rise, odd ones fall.
    EXPECT_EQ(Cell(0, ids::kColMark), RiseMark());
    EXPECT_EQ(Cell(1, ids::kColMark), FallMark());
    EXPECT_EQ(dlg.ControlText(ids::kNikkeiLine).rfind(Sj("日経平均 ( "), 0), 0u);
    EXPECT_EQ(dlg.ControlText(ids::kTopixLine).rfind("TOPIX ( ", 0), 0u);
    EXPECT_EQ(dlg.ControlText(ids::kJasdaqLine).rfind("JASDAQ ( ", 0), 0u);
    for (const int id : {ids::kNikkeiChange, ids::kTopixChange, ids::kJasdaqChange}) {
        const std::string change = dlg.ControlText(id);
        ASSERT_GE(change.size(), 3u) << id;
        EXPECT_EQ(change.front(), ' ');
        EXPECT_EQ(change.back(), ' ');
    }
    EXPECT_EQ(dlg.ControlText(ids::kStatus), "");
    // Entry row empty, three indices, three rows.
    EXPECT_EQ(host_.Requests().size(), 6u);
}

TEST_F(WindowTest, StartWithAnEmptyListStaysDisconnectedAndStillRunsOnePass) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    EXPECT_EQ(dlg.m_bConnected, 0);
    EXPECT_TRUE(dlg.Control(ids::kConnectButton)->isEnabled());
    EXPECT_TRUE(dlg.Control(ids::kDisconnectButton)->isEnabled());
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerRefresh));
    ASSERT_TRUE(WaitForRequests(3, 10000));
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(dlg.ControlText(ids::kTopixLine).rfind("TOPIX ( ", 0), 0u);
    EXPECT_EQ(host_.Requests().size(), 3u);

    // Both buttons only move the focus while there is nothing to connect.
    static_cast<QPushButton*>(dlg.Control(ids::kDisconnectButton))->click();
    EXPECT_EQ(dlg.m_bConnected, 0);
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(ids::kConnectButton));
    static_cast<QPushButton*>(dlg.Control(ids::kConnectButton))->click();
    EXPECT_EQ(dlg.m_bConnected, 0);
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(ids::kDisconnectButton));
    EXPECT_TRUE(dlg.Control(ids::kConnectButton)->isEnabled());
    EXPECT_TRUE(dlg.Control(ids::kDisconnectButton)->isEnabled());
}

TEST_F(WindowTest, ConnectAndDisconnectSwapButtonsAndTimer) {
    WriteIni({{"8058", "東証"}});
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    struct Step {
        int button;
        int connected;
        bool connectEnabled, disconnectEnabled, timer;
        int focus;
    };
    const Step steps[] = {
        {ids::kDisconnectButton, 0, true, false, false, ids::kConnectButton},
        {ids::kDisconnectButton, 0, true, false, false, ids::kConnectButton},
        {ids::kConnectButton, 1, false, true, true, ids::kDisconnectButton},
        {ids::kConnectButton, 1, false, true, true, ids::kDisconnectButton},
    };
    for (const Step& s : steps) {
        if (s.button == ids::kConnectButton)
            dlg.OnConnectButton();
        else
            dlg.OnDisconnectButton();
        EXPECT_EQ(dlg.m_bConnected, s.connected);
        EXPECT_EQ(dlg.Control(ids::kConnectButton)->isEnabled(), s.connectEnabled);
        EXPECT_EQ(dlg.Control(ids::kDisconnectButton)->isEnabled(), s.disconnectEnabled);
        EXPECT_EQ(dlg.TimerRunning(ids::kTimerRefresh), s.timer);
        EXPECT_EQ(dlg.focusWidget(), dlg.Control(s.focus));
    }
    // The period is read from the interval control at every connect.
    dlg.OnDisconnectButton();
    dlg.m_spinInterval->setValue(5);
    dlg.OnConnectButton();
    EXPECT_EQ(dlg.m_timerRefresh.interval(), 5000);
}

TEST_F(WindowTest, EscapeDoesNotEndTheDialog) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_bDestroyed, 0);
}

TEST_F(WindowTest, ShutDownSavesTheListOnceAndIsIdempotent) {
    WriteIni(kThreeRows, 0, 2);
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    dlg.m_pModel->RemoveRow(1);
    dlg.m_arrResults.erase(dlg.m_arrResults.begin() + 1);
    dlg.m_nChkGoTask = 1;
    dlg.done(QDialog::Accepted);
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerRefresh));
    EXPECT_FALSE(dlg.TimerRunning(ids::kTimerTip));
    EXPECT_EQ(dlg.m_bTrayIcon, 0);
    const std::string saved = Cp932ToUtf8(dir_.Read("base_data.ini"));
    EXPECT_NE(saved.find("NUM0=8058\r\nSIJOU0=東証\r\nNUM1=6501\r\nSIJOU1=大証\r\nKOSUU=2\r\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("NUM2"), std::string::npos);
    EXPECT_NE(saved.find("CHKGOTASK=1"), std::string::npos);
    EXPECT_NE(saved.find("SELECTEDITEM=2"), std::string::npos);
    // A second end (the destructor's) writes nothing again.
    dir_.Write("base_data.ini", "untouched");
    dlg_.reset();
    EXPECT_EQ(dir_.Read("base_data.ini"), "untouched");
}

}  // namespace
}  // namespace tickora::test
