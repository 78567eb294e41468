#pragma once
// The main window under test: a temporary program folder with its base_data.ini, the
// loopback quote host, and a QApplication on the offscreen platform.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/quote_dlg.h"
#include "app/watch_list_model.h"
#include "common/codepage.h"
#include "quote_host.h"
#include "temp_dir.h"

namespace tickora::test {

inline QApplication& App() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tickora-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        QApplication::setQuitOnLastWindowClosed(false);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Processes events until pred holds or timeoutMs passes.
template <class Pred>
bool WaitUntil(Pred pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

struct IniRow {
    const char* code;
    const char* market;  // UTF-8
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    void TearDown() override { dlg_.reset(); }

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
        ini += "[LINK_JOUHOU]\r\nBASE_URL=" +
               (baseUrlUtf8.empty() ? HostTemplate() : baseUrlUtf8) + "\r\n";
        dir_.Write("base_data.ini", Utf8ToCp932(ini));
    }

    // trayHost: whether the window may take a notification area for granted (offscreen has
    // none; 1 exercises the hiding path).
    CQuoteDlg& Start(int trayHost = 0) {
        dlg_ = std::make_unique<CQuoteDlg>(dir_.folder());
        dlg_->m_nTrayHost = trayHost;
        dlg_->OnInitDialog();
        return *dlg_;
    }

    // Waits until no pass is running or waiting.
    bool WaitForPasses(int timeoutMs = 15000) {
        return WaitUntil([&] { return dlg_->m_workers.Running() == 0; }, timeoutMs);
    }

    // The host's log holds n requests; the UI thread keeps running meanwhile, since a pass
    // waits for it at every read and write.
    bool WaitForRequests(std::size_t n, int timeoutMs = 10000) {
        return WaitUntil([&] { return host_.Requests().size() >= n; }, timeoutMs);
    }

    std::string Cell(int row, int column) const { return dlg_->m_pModel->Cell(row, column); }

    QuoteHost host_;
    TempDir dir_;
    std::unique_ptr<CQuoteDlg> dlg_;
};

}  // namespace tickora::test
