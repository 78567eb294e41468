#include <QMenu>

#include "../app/window_fixture.h"
#include "alerts/alert_dlg.h"

namespace tickora::test {
namespace {

class AlertWindowTest : public WindowTest {
  public:
    // Types 上限 for a row through the list's context menu and the dialog's named field.
    void SetUpperFromMenu(int row, const char* upper) {
        SelectRow(row);
        const QPoint at = List()->visualRect(Model().index(row, 1)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, List()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(List()->viewport(), &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* item = menu->actions().back();
        ASSERT_EQ(item->text(), QString::fromUtf8("アラート設定..."));
        bool driven = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<CAlertDlg*>(QApplication::activeModalWidget());
            if (!dialog) return;
            poll.stop();
            for (auto* edit : dialog->findChildren<QLineEdit*>()) {
                if (edit->accessibleName() != QString::fromUtf8("上限")) continue;
                QTest::keyClicks(edit, upper);
                QTest::keyClick(edit, Qt::Key_Return);
                driven = true;
            }
        });
        poll.start(10);
        item->trigger();
        menu->close();
        EXPECT_TRUE(WaitUntil([&] { return driven && !QApplication::activeModalWidget(); }, 10000));
    }
    QString Tip(int row) {
        const QPoint at = List()->visualRect(Model().index(row, 1)).center();
        return dlg_->findChild<ListToolTip*>()->TextAt(at);
    }
    // A click on the notice brings the window out of the tray; a notice no service took, with
    // no tray, goes to standard error.
    static void CheckWaysBack(CQuoteDlg& dlg, const RecordingNotifier::Sent& sent) {
        dlg.showMinimized();
        ASSERT_FALSE(dlg.isVisible());
        sent.clicked();
        EXPECT_TRUE(dlg.isVisible());
        testing::internal::CaptureStderr();
        sent.undelivered();
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "tickora: " + Cp932ToUtf8(sent.notice.summary) + ": " +
                      Cp932ToUtf8(sent.notice.body) + "\n");
    }
    std::string Ini() { return Cp932ToUtf8(dir_.Read("base_data.ini")); }
};

TEST_F(AlertWindowTest, AnAlertFiresOnceStaysWithItsStockAndSurvivesARestart) {
    CQuoteDlg& dlg = Launch(Rows("8058,7203,6501"), 0, 0, "", TrayHostKind::XEmbed);
    SetUpperFromMenu(1, "1");  // every price is at or above 1
    SetUpperFromMenu(0, "1");
    const QString line = QString::fromUtf8("アラート: 上限 1 以上");
    EXPECT_TRUE(Tip(1).endsWith(line));
    EXPECT_FALSE(Tip(2).contains(line));
    // 8058 deleted takes its own alert, added again it has none; 7203 keeps its own as it moves.
    SelectRow(0);
    dlg.OnCommand(ids::kCmdDelete);
    ASSERT_TRUE(Model().Move(0, 1));  // 6501, 7203
    SelectRow(-1);
    P().SetPreview("8058", "1,000");
    dlg.OnCommand(ids::kAddButton);  // 6501, 7203, 8058
    EXPECT_EQ(Codes(), "6501,7203,8058");
    EXPECT_FALSE(Tip(0).contains(line));
    EXPECT_TRUE(Tip(1).endsWith(line));
    EXPECT_FALSE(Tip(2).contains(line));
    EXPECT_TRUE(notifier_->sent.empty());  // set after the start-up pass
    for (int pass = 0; pass < 2; ++pass) {
        P().Timer(ids::kTimerRefresh);
        ASSERT_TRUE(WaitForPasses());
    }
    ASSERT_EQ(notifier_->sent.size(), 1u);  // and none on the second pass, still beyond
    const AlertNotice notice = notifier_->sent[0].notice;
    EXPECT_EQ(notice.summary, "7203 " + Cell(1, ids::kColName));
    EXPECT_EQ(notice.body, Sj("現在値 ") + Cell(1, ids::kColPrice) +
                               Sj(" が上限 1 以上になりました（") + Cell(1, ids::kColTime) +
                               Sj(" 時点）"));
    CheckWaysBack(dlg, notifier_->sent[0]);
    // Saved at the end; after a restart it fires once at its first read.
    dlg.done(QDialog::Rejected);
    EXPECT_NE(Ini().find("[ALERTS]\r\n7203.TOSYOU=1,,\r\n"), std::string::npos) << Ini();
    EXPECT_EQ(Ini().find("8058."), std::string::npos) << Ini();
    TearDown();
    notifier_->sent.clear();
    Start();
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(notifier_->sent.size(), 1u);
    EXPECT_TRUE(Tip(1).endsWith(line));
    SelectRow(1);
    dlg_->OnCommand(ids::kCmdDeleteAll);
    dlg_->done(QDialog::Rejected);
    EXPECT_EQ(Ini().find("ALERTS"), std::string::npos) << Ini();
}

}  // namespace
}  // namespace tickora::test
