#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "../app/window_fixture.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "links/link_templates.h"
#include "links/link_url_dlg.h"
#include "tray/menu_pictures.h"

namespace tickora::test {
namespace {

class LinksTest : public WindowTest {
  public:
    // Runs a command that opens a modal dialog; `drive` works the dialog and ends it.
    template <class Dialog>
    void WithModal(int command, const std::function<void(Dialog&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            driven = true;
            drive(*dialog);
        });
        dlg_->OnCommand(command);
        EXPECT_TRUE(driven);
    }
    std::vector<std::string> Opened() {
        std::vector<std::string> urls;
        for (const std::string& url : opener_->urls) urls.push_back(Cp932ToUtf8(url));
        opener_->urls.clear();
        return urls;
    }
    std::string Url(const std::string& pathAndQuery) {
        return "http://127.0.0.1:50505" + pathAndQuery;
    }
};

TEST_F(LinksTest, EveryTriggerOpensItsLink) {
    using Urls = std::vector<std::string>;
    for (const bool changed : {false, true}) {
        SCOPED_TRACE(changed ? "changed settings" : "defaults");
        WriteIni(Rows("8058,998407"), 0, 0,
                 changed ? host_.Url("/q?code=銘柄&x=12345") : host_.Url("/q?s=銘柄.市場"));
        CQuoteDlg& dlg = Start();
        ASSERT_TRUE(WaitForPasses());
        // The stock template as the link dialog would have set it, and the Nikkei link.
        const std::string stock = changed ? Url("/index.cfm?scode=銘柄") : Url("/q?s=銘柄.市場");
        const std::string nikkei = changed ? "http://n/x?a=銘柄" : Url("/q?s=998407");
        P().StockUrl() = Sj(stock);
        P().NikkeiUrl() = Sj(nikkei);
        const std::string row0 = changed ? Url("/index.cfm?scode=8058") : Url("/q?s=8058.t");
        // An index code loses the template's last five bytes, whatever they are.
        auto index = [&](const char* code) {
            return changed ? host_.Url("/q?code=") + code + "&x=" : host_.Url("/q?s=") + code;
        };
        // A real double click: a click, then the second press as a double click.
        const QPoint row1 = P().List()->visualRect(P().Model().index(1, 1)).center();
        QTest::mouseClick(P().List()->viewport(), Qt::LeftButton, {}, row1);
        QTest::mouseDClick(P().List()->viewport(), Qt::LeftButton, {}, row1);
        QTest::mouseRelease(P().List()->viewport(), Qt::LeftButton, {}, row1);
        EXPECT_EQ(Opened(), Urls{changed ? Url("/index.cfm?scode=9") : Url("/q?s=998407")});
        P().SelectRow(0);
        dlg.OnCommand(ids::kCmdOpenLink);
        EXPECT_EQ(Opened(), Urls{row0});
        for (const int chk : {1, 0}) {
            P().ChkOpenUrl() = chk;
            dlg.OnCommand(ids::kCmdTrayStockFirst);
            EXPECT_EQ(Opened(), chk ? Urls{row0} : Urls{});
        }
        dlg.OnCommand(ids::kCmdNikkei);
        EXPECT_EQ(Opened(), Urls{nikkei});
        for (const int id : {ids::kNikkeiLine, ids::kTopixLine, ids::kJasdaqLine, ids::kHomeLink})
            QTest::mouseClick(P().Control(id), Qt::LeftButton);
        EXPECT_EQ(Opened(), (Urls{nikkei, index("998405"), index("23337"), Url("/")}));
        P().SelectRow(-1);
        dlg.OnCommand(ids::kCmdOpenLink);
        EXPECT_EQ(Opened(), Urls{});
        TearDown();
    }
}

TEST_F(LinksTest, TheLinkDialogChoosesTypesAndKeepsOrDropsTheChoice) {
    WriteIni({});
    Start();
    dir_.Write("銘柄URL.txt", Sj("a_http://a/\r\nshort_http://s/q?s=銘柄\r\nwhole line\r\n"));
    // OK: a line chosen with the keyboard in one list, with the mouse in the other.
    WithModal<CLinkUrlDlg>(ids::kCmdLinkSettings, [&](CLinkUrlDlg& d) {
        auto* stock = d.findChild<QComboBox*>("1052");
        auto* nikkei = d.findChild<QComboBox*>("1053");
        EXPECT_EQ(stock->count(), 3);
        EXPECT_EQ(stock->currentText().toStdString(), Url("/q?s=銘柄.市場"));
        EXPECT_EQ(d.findChild<QLabel*>("1055")->text(), "Yahoo finance");
        EXPECT_EQ(d.findChild<QLabel*>("1054")->text(), QString::fromUtf8("Yahoo日経"));
        QTest::keyClick(stock, Qt::Key_Down);
        QTest::keyClick(stock, Qt::Key_Down);
        nikkei->showPopup();
        QAbstractItemView* view = nikkei->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(1, 0)).center());
        QCoreApplication::processEvents();
        EXPECT_EQ(stock->currentText().toStdString(), "http://s/q?s=銘柄");
        EXPECT_EQ(d.findChild<QLabel*>("1055")->text(), "shor");  // no blank before the "_"
        EXPECT_EQ(nikkei->currentText().toStdString(), Url("/"));
        // Widening moves both fields' right edges; the height stays.
        const QSize before = d.size();
        const int fieldWidth = stock->width();
        d.resize(before.width() + 100, before.height() + 60);
        EXPECT_EQ(stock->width(), fieldWidth + 100);
        EXPECT_EQ(nikkei->width(), fieldWidth + 100);
        EXPECT_EQ(d.height(), 170);
        d.resize(100, 100);
        EXPECT_EQ(d.size(), QSize(523, 170));
        d.accept();
    });
    EXPECT_EQ(Cp932ToUtf8(P().StockUrl()), "http://s/q?s=銘柄");
    EXPECT_EQ(Cp932ToUtf8(P().StockLabel()), "shor");
    EXPECT_EQ(Cp932ToUtf8(P().NikkeiLabel()), "日経net");
    // Both lists were written back as read: the stock list as it was, the Nikkei list new.
    EXPECT_EQ(Cp932ToUtf8(dir_.Read("銘柄URL.txt")),
              "a_http://a/\r\nshort_http://s/q?s=銘柄\r\nwhole line\r\n");
    EXPECT_EQ(Cp932ToUtf8(dir_.Read("日経URL.txt")),
              Cp932ToUtf8(DefaultNikkeiLines()[0] + "\r\n" + DefaultNikkeiLines()[1] + "\r\n"));

    // A typed URL is kept as typed, with the label that was shown; a line without "_" whole.
    for (const bool ok : {false, true}) {
        ::remove(dir_.file("日経URL.txt").c_str());
        WithModal<CLinkUrlDlg>(ids::kCmdLinkSettings, [&](CLinkUrlDlg& d) {
            auto* stock = d.findChild<QComboBox*>("1052");
            stock->lineEdit()->clear();
            QTest::keyClicks(stock->lineEdit(), "http://typed/");
            auto* nikkei = d.findChild<QComboBox*>("1053");
            nikkei->lineEdit()->clear();
            QTest::keyClicks(nikkei->lineEdit(), "x");
            ok ? d.accept() : d.reject();
        });
        EXPECT_EQ(Cp932ToUtf8(P().StockUrl()), ok ? "http://typed/" : "http://s/q?s=銘柄");
        EXPECT_EQ(Cp932ToUtf8(P().StockLabel()), "shor");
        EXPECT_EQ(P().NikkeiUrl(), ok ? "x" : Sj(Url("/")));
        EXPECT_EQ(dir_.Read("日経URL.txt").empty(), !ok);  // Cancel writes nothing
    }
}

TEST_F(LinksTest, TheTrayMenuListsTheStocksAndRoutesItsCommands) {
    WriteIni(Rows("8058,7203"));
    CQuoteDlg& dlg = Start(TrayHostKind::XEmbed);
    ASSERT_TRUE(WaitForPasses());
    P().Minimize();
    P().SelectedItem() = 5;
    P().Model().SetCells(1, {{ids::kColName, "A&B"}});
    QMenu* menu = P().TrayMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 11);
    EXPECT_TRUE(actions[0]->text().startsWith(QString::fromUtf8("日経平均 (")));
    EXPECT_EQ(actions[2]->data().toInt(), 50000);
    EXPECT_EQ(actions[3]->data().toInt(), 50001);
    EXPECT_TRUE(actions[3]->text().contains("A&&B"));  // no mnemonic from a stock's name
    // The tray row pointed past the end: row 0 is checked and shows its checked picture.
    EXPECT_EQ(P().SelectedItem(), 0);
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_FALSE(actions[3]->isChecked());
    EXPECT_EQ(actions[2]->icon().pixmap(11, QIcon::Normal, QIcon::On).toImage(),
              DrawMenuPicture(MenuPicture::Up, true).toImage());
    EXPECT_EQ(actions[3]->icon().pixmap(11).toImage(),
              DrawMenuPicture(MenuPicture::Down, false).toImage());
    // Choosing a stock makes it the tray row; the toggles flip their flags.
    P().ChkOpenUrl() = 7;  // a hand-edited flag counts as off and first toggles to 0
    dlg.OnCommand(50001);
    EXPECT_EQ(P().SelectedItem(), 1);
    EXPECT_TRUE(P().TrayTip().find(" 7203 ") != std::string::npos);
    EXPECT_TRUE(opener_->urls.empty());
    for (const int expected : {0, 1}) {
        dlg.OnCommand(ids::kCmdClickOpensLink);
        EXPECT_EQ(P().ChkOpenUrl(), expected);
    }
    dlg.OnCommand(ids::kCmdStartInTray);
    EXPECT_EQ(P().ChkGoTask(), 1);
    emit menu->aboutToShow();
    EXPECT_TRUE(menu->actions()[7]->isChecked());
    EXPECT_TRUE(menu->actions()[8]->isChecked());
    // "閉じる" ends the program as the close box does.
    menu->actions().back()->trigger();
    EXPECT_TRUE(P().Destroyed());
}

TEST_F(LinksTest, BothTrayHostsBringTheWindowBackWithADoubleClick) {
    QApplication::setDoubleClickInterval(60'000);  // two calls in a row always pair
    for (const TrayHostKind kind : {TrayHostKind::XEmbed, TrayHostKind::StatusNotifier}) {
        WriteIni(Rows("8058,7203,6501"));
        CQuoteDlg& dlg = Start(kind);
        dlg.showMinimized();
        ASSERT_FALSE(dlg.isVisible());
        P().TrayNotify(QSystemTrayIcon::Trigger);  // steps to row 1
        if (kind == TrayHostKind::XEmbed)
            P().TrayNotify(QSystemTrayIcon::DoubleClick);
        else
            P().TrayNotify(QSystemTrayIcon::Trigger);
        EXPECT_TRUE(dlg.isVisible()) << static_cast<int>(kind);
        EXPECT_EQ(P().SelectedItem(), 0);
        TearDown();
    }
}

TEST_F(LinksTest, KeysActOnTheFocusedControlAndNeverEndTheWindow) {
    WriteIni(Rows("8058,7203"));
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    QApplication::setActiveWindow(&dlg);
    auto press = [&](int id, int key) {
        P().Control(id)->setFocus();
        QTest::keyClick(P().Control(id), static_cast<Qt::Key>(key));
        QCoreApplication::processEvents();
    };
    auto popup = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
    for (const int id : {ids::kCodeEdit, ids::kMarketCombo, ids::kAddButton}) {
        P().SetPreview("9984", "1,000");
        press(id, Qt::Key_Return);
        EXPECT_EQ(P().Cell(0, ids::kColCode), "9984") << id;
        P().SelectRow(0);
        dlg.OnCommand(ids::kCmdDelete);
    }
    press(ids::kDisconnectButton, Qt::Key_Return);
    EXPECT_EQ(P().Connected(), 0);
    press(ids::kConnectButton, Qt::Key_Enter);
    EXPECT_EQ(P().Connected(), 1);
    // Enter on the list opens its menu under the selected row; on "設定" the settings menu.
    P().SelectRow(1);
    press(ids::kWatchList, Qt::Key_Return);
    ASSERT_NE(popup(), nullptr);
    const QRect row = P().List()->visualRect(P().Model().index(1, 0));
    EXPECT_EQ(popup()->pos(), P().List()->viewport()->mapToGlobal(row.bottomLeft() + QPoint(0, 1)));
    EXPECT_EQ(popup()->actions()[2]->data().toInt(), ids::kCmdDelete);
    popup()->actions()[2]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(P().RowCount(), 1);
    P().ChkGoTask() = 1;
    press(ids::kSettingsButton, Qt::Key_Return);
    ASSERT_NE(popup(), nullptr);
    EXPECT_EQ(popup()->pos(),
              P().Control(ids::kSettingsButton)
                  ->mapToGlobal(QPoint(0, P().Control(ids::kSettingsButton)->height())));
    EXPECT_TRUE(popup()->actions()[2]->isChecked());
    popup()->close();
    // Enter elsewhere and Escape anywhere do nothing; Delete edits outside the list.
    press(ids::kNameEdit, Qt::Key_Return);
    press(ids::kCodeEdit, Qt::Key_Escape);
    EXPECT_FALSE(P().Destroyed());
    EXPECT_TRUE(dlg.isVisible());
    static_cast<QLineEdit*>(P().Control(ids::kCodeEdit))->setText("12");
    static_cast<QLineEdit*>(P().Control(ids::kCodeEdit))->setCursorPosition(0);
    press(ids::kCodeEdit, Qt::Key_Delete);
    EXPECT_EQ(P().Text(ids::kCodeEdit), "2");
    EXPECT_EQ(P().RowCount(), 1);
    P().SelectRow(0);
    press(ids::kWatchList, Qt::Key_Delete);
    EXPECT_EQ(P().RowCount(), 0);
    // No row, no menu: neither from Enter nor from a right click.
    press(ids::kWatchList, Qt::Key_Return);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(P().List()->viewport(), &click);
    EXPECT_EQ(popup(), nullptr);
}

TEST_F(LinksTest, TheVersionBoxShowsTheTitleLine) {
    WriteIni({});
    Start();
    WithModal<QDialog>(ids::kCmdVersion, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QString::fromUtf8("TICKORA株価"));
        EXPECT_EQ(d.findChild<QLabel*>("1056")->text(),
                  QString::fromUtf8("TICKORA株価 ver.060505"));
        d.accept();
    });
}

}  // namespace
}  // namespace tickora::test
