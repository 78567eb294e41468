#pragma once
// The main window under test: a temporary program folder with its base_data.ini, the
// loopback quote host, recording seams, and a QApplication on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "alerts/alert_notifier.h"
#include "app/list_tool_tip.h"
#include "app/message_boxes.h"
#include "common/codepage.h"
#include "dlg_probe.h"
#include "links/url_opener.h"
#include "quote_host.h"
#include "temp_dir.h"
#include "ui/index_label.h"

namespace tickora::test {

inline QApplication& App() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tickora-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return *app;
}

// Processes events until pred holds or timeoutMs passes.
template <class Pred>
bool WaitUntil(Pred pred, int timeoutMs) {
    return QTest::qWaitFor(pred, timeoutMs);
}

struct RecordingOpener final : UrlOpener {
    std::vector<std::string> urls;
    void Open(const std::string& url) override { urls.push_back(url); }
};

struct RecordingBoxes final : MessageBoxes {
    struct Box {
        std::string caption, text;
        bool operator==(const Box&) const = default;
    };
    std::vector<Box> shown;
    void Show(QWidget*, const std::string& caption, const std::string& text) override {
        shown.push_back({caption, text});
    }
};

// What the window handed to the desktop, with the notice's two ways back.
struct RecordingNotifier final : AlertNotifier {
    struct Sent {
        AlertNotice notice;
        std::function<void()> clicked, undelivered;
    };
    std::vector<Sent> sent;
    void Notify(const AlertNotice& notice, QObject*, std::function<void()> clicked,
                std::function<void()> undelivered) override {
        sent.push_back({notice, std::move(clicked), std::move(undelivered)});
    }
};

struct FixedTrayHost final : TrayHost {
    TrayHostKind kind = TrayHostKind::None;
    TrayHostKind Kind() override { return kind; }
};

struct IniRow {
    std::string code;
    std::string market;  // UTF-8
};

// "8058,7203" as rows on 東証.
inline std::vector<IniRow> Rows(const std::string& codes) {
    std::vector<IniRow> rows;
    std::istringstream in(codes);
    for (std::string code; std::getline(in, code, ',');) rows.push_back({code, "東証"});
    return rows;
}

class WindowTest : public ::testing::Test {
  public:
    void SetUp() override { App(); }
    void TearDown() override {
        probe_.reset();
        dlg_.reset();
    }

    // BASE_URL on the test's host; path holds the placeholders, e.g. "/q?s=銘柄.市場".
    std::string HostTemplate(const std::string& path = "/q?s=銘柄.市場") const {
        return host_.Url(path);
    }

    void WriteIni(const std::vector<IniRow>& rows, int chkGoTask = 0, int selectedItem = 0,
                  const std::string& baseUrlUtf8 = "") {
        std::string ini = "[MEIGARA_DATA]\r\n";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ini += "NUM" + std::to_string(i) + "=" + rows[i].code + "\r\n";
            ini += "SIJOU" + std::to_string(i) + "=" + rows[i].market + "\r\n";
        }
        ini += "KOSUU=" + std::to_string(rows.size()) + "\r\n";
        ini += "CHKGOTASK=" + std::to_string(chkGoTask) + "\r\n";
        ini += "SELECTEDITEM=" + std::to_string(selectedItem) + "\r\n";
        ini += "[LINK_JOUHOU]\r\nBASE_URL=" + (baseUrlUtf8.empty() ? HostTemplate() : baseUrlUtf8) +
               "\r\n";
        dir_.Write("base_data.ini", Utf8ToCp932(ini));
    }

    // beforeInit may change the window's state before OnInitDialog runs.
    CQuoteDlg& Start(TrayHostKind tray = TrayHostKind::None,
                     const std::function<void(DlgProbe&)>& beforeInit = {}) {
        trayHost_->kind = tray;
        dlg_ = std::make_unique<CQuoteDlg>(dir_.folder() + "tickora",
                                           DialogServices{opener_, boxes_, trayHost_, notifier_});
        probe_ = std::make_unique<DlgProbe>(*dlg_);
        if (beforeInit) beforeInit(*probe_);
        dlg_->OnInitDialog();
        return *dlg_;
    }
    DlgProbe& P() { return *probe_; }
    // The window on these settings, its start-up pass over.
    CQuoteDlg& Launch(const std::vector<IniRow>& rows, int chkGoTask = 0, int selectedItem = 0,
                      const std::string& baseUrlUtf8 = "", TrayHostKind tray = TrayHostKind::None) {
        WriteIni(rows, chkGoTask, selectedItem, baseUrlUtf8);
        CQuoteDlg& dlg = Start(tray);
        EXPECT_TRUE(WaitForPasses());
        return dlg;
    }

    // The window as a user and the files see it.
    QWidget* Control(int id) const { return dlg_->findChild<QWidget*>(QString::number(id)); }
    // A control's text in CP932.
    std::string Text(int id) const {
        if (auto* index = qobject_cast<IndexLabel*>(Control(id))) return index->Text();
        return Utf8ToCp932(Control(id)->property("text").toString().toStdString());
    }
    QTableView* List() const { return static_cast<QTableView*>(Control(ids::kWatchList)); }
    WatchListModel& Model() const { return *static_cast<WatchListModel*>(List()->model()); }
    std::string Cell(int row, int column) const { return Model().Cell(row, column); }
    int RowCount() const { return Model().RowCount(); }
    // The first selected row, -1 for none.
    int SelectedRow() const {
        const QModelIndexList rows = List()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : std::min_element(rows.begin(), rows.end())->row();
    }
    // -1 selects nothing.
    void SelectRow(int row) const { row < 0 ? List()->clearSelection() : List()->selectRow(row); }
    QTimer* TimerOf(int id) const {
        return dlg_->findChild<QTimer*>(id == ids::kTimerRefresh ? "timer0" : "timer1");
    }
    bool TimerRunning(int id) const { return TimerOf(id)->isActive(); }
    // The tray icon while the window has one; one deleted waits for the event loop.
    QSystemTrayIcon* TrayIconObject() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dlg_->findChild<QSystemTrayIcon*>();
    }
    // What the notification area reports of a click on the icon.
    void TrayNotify(QSystemTrayIcon::ActivationReason reason) const {
        emit TrayIconObject()->activated(reason);
    }

    // Waits until no pass is running or waiting, then lets the window take in what the last
    // one queued: its end wakes the UI thread with an event posted before the worker ended.
    bool WaitForPasses(int timeoutMs = 15000) {
        const bool over = WaitUntil([&] { return probe_->Workers() == 0; }, timeoutMs);
        QCoreApplication::sendPostedEvents();
        return over;
    }
    // The host's log holds n arrivals; the UI thread keeps running meanwhile.
    bool WaitForArrivals(std::size_t n, int timeoutMs = 10000) {
        return WaitUntil([&] { return host_.Arrivals().size() >= n; }, timeoutMs);
    }
    // The list's codes in row order: "8058,7203".
    std::string Codes() {
        std::string codes;
        for (int r = 0; r < RowCount(); ++r) codes += (r ? "," : "") + Cell(r, ids::kColCode);
        return codes;
    }

    QuoteHost host_;
    TempDir dir_;
    std::shared_ptr<RecordingOpener> opener_ = std::make_shared<RecordingOpener>();
    std::shared_ptr<RecordingBoxes> boxes_ = std::make_shared<RecordingBoxes>();
    std::shared_ptr<FixedTrayHost> trayHost_ = std::make_shared<FixedTrayHost>();
    std::shared_ptr<RecordingNotifier> notifier_ = std::make_shared<RecordingNotifier>();
    std::unique_ptr<CQuoteDlg> dlg_;
    std::unique_ptr<DlgProbe> probe_;
};

}  // namespace tickora::test
