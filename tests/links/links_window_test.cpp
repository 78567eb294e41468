#include <QMenu>
#include <utility>

#include "../app/window_fixture.h"
#include "links/link_url_dlg.h"

namespace tickora::test {
namespace {

// The quote and home-page host of the program's own link defaults.
const std::string kDefaultHost = "http://127.0.0.1:50505";

class LinksTest : public WindowTest {
  public:
    // Runs a command that opens a modal dialog; `drive` works the dialog and ends it.
    template <class Dialog>
    void WithModal(int command, const std::function<void(Dialog&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<Dialog*>(modal)) {
                driven = true;
                drive(*dialog);
            } else if (modal) {
                modal->close();  // another dialog would wait for a user
            }
        });
        dlg_->OnCommand(command);
        EXPECT_TRUE(driven);
    }
    std::vector<std::string> Opened() {
        std::vector<std::string> urls;
        for (const std::string& url : std::exchange(opener_->urls, {}))
            urls.push_back(Cp932ToUtf8(url));
        return urls;
    }
};

// The stock template, the quote template and the Nikkei link all differ, so each trigger
// shows which one it used; how a template expands is the template tests' business.
TEST_F(LinksTest, EveryTriggerOpensItsLinkAndKeysActOnTheFocusedControl) {
    using Urls = std::vector<std::string>;
    CQuoteDlg& dlg = Launch(Rows("8058,7203"), 0, 0, host_.Url("/q?code=銘柄&x=12345"));
    P().StockUrl() = Sj(kDefaultHost + "/index.cfm?scode=銘柄");
    P().NikkeiUrl() = Sj("http://n/x?a=銘柄");
    // A real double click: a click, then the second press as a double click.
    const QPoint row1 = List()->visualRect(Model().index(1, 1)).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row1);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row1);
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, row1);
    EXPECT_EQ(Opened(), Urls{kDefaultHost + "/index.cfm?scode=7203"});
    SelectRow(0);
    dlg.OnCommand(ids::kCmdOpenLink);
    EXPECT_EQ(Opened(), Urls{kDefaultHost + "/index.cfm?scode=8058"});
    dlg.OnCommand(ids::kCmdNikkei);
    EXPECT_EQ(Opened(), Urls{"http://n/x?a=銘柄"});
    for (const int id : {ids::kNikkeiLine, ids::kTopixLine, ids::kJasdaqLine, ids::kHomeLink})
        QTest::mouseClick(Control(id), Qt::LeftButton);
    EXPECT_EQ(Opened(), (Urls{"http://n/x?a=銘柄", host_.Url("/q?code=998405&x="),
                              host_.Url("/q?code=23337&x="), kDefaultHost + "/"}));
    SelectRow(-1);
    dlg.OnCommand(ids::kCmdOpenLink);
    EXPECT_EQ(Opened(), Urls{});

    // Keys act on the focused control and never end the window.
    QApplication::setActiveWindow(&dlg);
    auto press = [&](int id, int key) {
        Control(id)->setFocus();
        QTest::keyClick(Control(id), static_cast<Qt::Key>(key));
        QCoreApplication::processEvents();
    };
    auto popup = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
    SelectRow(0);  // each Enter adds in front of it, and the keyboard stays where it was
    for (const int id : {ids::kCodeEdit, ids::kMarketCombo, ids::kAddButton}) {
        P().SetPreview("9984", "1,000");
        press(id, Qt::Key_Return);
        EXPECT_EQ(Cell(0, ids::kColCode), "9984") << id;
        EXPECT_EQ(QApplication::focusWidget(), Control(id));
        SelectRow(0);
        dlg.OnCommand(ids::kCmdDelete);
    }
    press(ids::kDisconnectButton, Qt::Key_Return);
    EXPECT_EQ(P().Connected(), 0);
    press(ids::kConnectButton, Qt::Key_Enter);
    EXPECT_EQ(P().Connected(), 1);
    // Enter on the list opens its menu under the selected row; on "設定" the settings menu.
    SelectRow(1);
    press(ids::kWatchList, Qt::Key_Return);
    ASSERT_NE(popup(), nullptr);
    const QRect row = List()->visualRect(Model().index(1, 0));
    EXPECT_EQ(popup()->pos(), List()->viewport()->mapToGlobal(row.bottomLeft() + QPoint(0, 1)));
    popup()->actions()[2]->trigger();
    popup()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(RowCount(), 1);
    P().ChkGoTask() = 1;
    press(ids::kSettingsButton, Qt::Key_Return);
    ASSERT_NE(popup(), nullptr);
    QWidget* settings = Control(ids::kSettingsButton);
    EXPECT_EQ(popup()->pos(), settings->mapToGlobal(QPoint(0, settings->height())));
    EXPECT_TRUE(popup()->actions()[3]->isChecked());
    popup()->close();
    // Enter elsewhere and Escape anywhere do nothing; Delete edits outside the list.
    press(ids::kNameEdit, Qt::Key_Return);
    press(ids::kCodeEdit, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    auto* code = static_cast<QLineEdit*>(Control(ids::kCodeEdit));
    code->setText("12");
    code->setCursorPosition(0);
    press(ids::kCodeEdit, Qt::Key_Delete);
    EXPECT_EQ(code->text(), "2");
    EXPECT_EQ(RowCount(), 1);
    // A right click on blank space below the row clears the selection and shows no menu.
    SelectRow(0);
    QContextMenuEvent blank(QContextMenuEvent::Mouse, QPoint(5, List()->viewport()->height() - 3),
                            QPoint(5, 5));
    QCoreApplication::sendEvent(List()->viewport(), &blank);
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(SelectedRow(), -1);
    SelectRow(0);
    press(ids::kWatchList, Qt::Key_Delete);
    EXPECT_EQ(RowCount(), 0);
    // No row, no menu: neither from Enter nor from a right click.
    press(ids::kWatchList, Qt::Key_Return);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(List()->viewport(), &click);
    EXPECT_EQ(popup(), nullptr);
}

// Links that are no web address, from a settings file or URL list someone else wrote, open
// nothing from any trigger, and each setting says so once on standard error.
TEST_F(LinksTest, EveryTriggerOpensOnlyWebLinks) {
    CQuoteDlg& dlg = Launch(Rows("8058"), 0, 0, "file:///etc/passwd?s=銘柄.市場");
    P().StockUrl() = "--version";
    P().NikkeiUrl() = Sj("javascript:alert(1)");
    SelectRow(0);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 2; ++round) {
        for (const int id : {ids::kCmdOpenLink, ids::kCmdNikkei, ids::kCmdTrayStockFirst})
            dlg.OnCommand(id);
        for (const int id : {ids::kNikkeiLine, ids::kTopixLine, ids::kJasdaqLine})
            QTest::mouseClick(Control(id), Qt::LeftButton);
    }
    const QPoint row = List()->visualRect(Model().index(0, 1)).center();
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Opened(), std::vector<std::string>{});
    for (const char* setting : {"OPEN_URL", "OPEN_NIKKEI_URL", "BASE_URL"}) {
        const std::string line = std::string("tickora: ") + setting + " gives a link";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << said;
    }
}

// In the link dialog lines are chosen with the keyboard in one list and the mouse in the
// other, then a URL is typed over one choice; Cancel keeps nothing, OK keeps what the fields
// and labels show. Then the version box.
TEST_F(LinksTest, TheSettingsMenusLinkDialogAndVersionBox) {
    Launch({});
    dir_.Write("銘柄URL.txt", Sj("a_http://a/\r\nshort_http://s/q?s=銘柄\r\nwhole line\r\n"));
    const std::string nikkeiUrl = P().NikkeiUrl();
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        WithModal<CLinkUrlDlg>(ids::kCmdLinkSettings, [&](CLinkUrlDlg& d) {
            auto* stock = d.findChild<QComboBox*>("1052");
            auto* nikkei = d.findChild<QComboBox*>("1053");
            auto label = [&](const char* id) { return d.findChild<QLabel*>(id)->text(); };
            EXPECT_EQ(stock->count(), 3);
            EXPECT_EQ(stock->currentText().toStdString(), kDefaultHost + "/q?s=銘柄.市場");
            EXPECT_EQ(label("1055"), "Yahoo finance");
            EXPECT_EQ(label("1054"), QString::fromUtf8("Yahoo日経"));
            QTest::keyClick(stock, Qt::Key_Down);
            QTest::keyClick(stock, Qt::Key_Down);
            nikkei->showPopup();
            QAbstractItemView* view = nikkei->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(1, 0)).center());
            QCoreApplication::processEvents();
            EXPECT_EQ(stock->currentText().toStdString(), "http://s/q?s=銘柄");
            EXPECT_EQ(label("1055"), "shor");  // no blank before the "_"
            EXPECT_EQ(nikkei->currentText().toStdString(), kDefaultHost + "/");
            EXPECT_EQ(label("1054"), QString::fromUtf8("日経net"));
            stock->lineEdit()->clear();
            QTest::keyClicks(stock->lineEdit(), "http://typed/");
            // Widening moves both fields' right edges; the height stays.
            const int fieldWidth = stock->width();
            d.resize(d.width() + 100, d.height() + 60);
            EXPECT_EQ(stock->width(), fieldWidth + 100);
            EXPECT_EQ(nikkei->width(), fieldWidth + 100);
            EXPECT_EQ(d.height(), 170);
            d.resize(100, 100);
            EXPECT_EQ(d.size(), QSize(523, 170));
            ok ? d.accept() : d.reject();
        });
        EXPECT_EQ(Cp932ToUtf8(P().StockUrl()),
                  ok ? "http://typed/" : kDefaultHost + "/q?s=銘柄.市場");
        EXPECT_EQ(Cp932ToUtf8(P().StockLabel()), ok ? "shor" : "Yahoo finance");
        EXPECT_EQ(P().NikkeiUrl(), ok ? kDefaultHost + "/" : nikkeiUrl);
        EXPECT_EQ(Cp932ToUtf8(P().NikkeiLabel()), ok ? "日経net" : "Yahoo日経");
        // OK writes the lists back, the missing Nikkei list with its default lines.
        EXPECT_EQ(dir_.Read("日経URL.txt").empty(), !ok);
    }
    WithModal<QDialog>(ids::kCmdVersion, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QString::fromUtf8("TICKORA株価"));
        EXPECT_EQ(d.findChild<QLabel*>("1056")->text(),
                  QString::fromUtf8("TICKORA株価 ver.060505"));
        // Every text shows whole, whatever font stands in for the dialog's.
        for (const QLabel* label : d.findChildren<QLabel*>()) {
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
                << label->text().toStdString();
            EXPECT_LE(metrics.height(), label->height()) << label->text().toStdString();
        }
        d.accept();
    });
}

}  // namespace
}  // namespace tickora::test
