// A whole refresh pass of the real main window (entry row, three indices, fifteen rows)
// against the loopback quote host: wall time of the pass, and the CPU time the UI thread
// spends on it (every cell and text the worker writes goes through the UI thread).
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "dlg_probe.h"
#include "quote_host.h"
#include "temp_dir.h"

namespace {

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double WallMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tickora::test::QuoteHost host;
    tickora::test::TempDir dir;
    std::string ini = "[MEIGARA_DATA]\r\n";
    for (int i = 0; i < 15; ++i)
        ini += "NUM" + std::to_string(i) + "=" + std::to_string(1301 + i * 7) + "\r\nSIJOU" +
               std::to_string(i) + "=東証\r\n";
    ini += "KOSUU=15\r\n[LINK_JOUHOU]\r\nBASE_URL=" + host.Url("/q?s=銘柄.市場") + "\r\n";
    dir.Write("base_data.ini", tickora::Utf8ToCp932(ini));

    tickora::CQuoteDlg dlg(dir.folder() + "tickora");
    tickora::test::DlgProbe probe(dlg);
    dlg.OnInitDialog();
    // Sleeps in the event loop between the pass's requests, waking every 5 ms to look.
    QTimer wake;
    wake.start(5);
    auto waitForPasses = [&] {
        while (probe.Workers() != 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    waitForPasses();  // the start-up pass
    const auto control = [&](int id) { return dlg.findChild<QWidget*>(QString::number(id)); };
    auto* list = static_cast<QTableView*>(control(tickora::ids::kWatchList));
    const auto cell = [&](int row) { return list->model()->index(row, 0).data().toString(); };
    static_cast<QLineEdit*>(control(tickora::ids::kCodeEdit))->setText("8058");

    std::vector<double> wall, ui;
    for (int round = 0; round < 30; ++round) {
        const double w0 = WallMs(), c0 = ThreadCpuMs();
        probe.Timer(tickora::ids::kTimerRefresh);
        waitForPasses();
        wall.push_back(WallMs() - w0);
        ui.push_back(ThreadCpuMs() - c0);
    }
    std::printf(
        "window pass, 15 rows + 3 indices + entry row: %.2f ms wall, %.2f ms on the UI "
        "thread (median of %zu)\n",
        Median(wall), Median(ui), wall.size());

    // Editing a full list on the UI thread, the preview's fetch left out: delete the last
    // row, add a stock whose preview is in place, drop the first row on the last one.
    control(tickora::ids::kDisconnectButton)->setFocus();
    std::vector<double> add, remove, drop;
    auto uiTime = [&](std::vector<double>& into, auto&& step) {
        const double c0 = ThreadCpuMs();
        step();
        into.push_back(ThreadCpuMs() - c0);
    };
    for (int round = 0; round < 200; ++round) {
        list->selectRow(14);
        uiTime(remove, [&] { dlg.OnCommand(tickora::ids::kCmdDelete); });
        probe.SetPreview("8058", "1,234");
        uiTime(add, [&] { dlg.OnCommand(tickora::ids::kAddButton); });
        const QString first = cell(0);
        uiTime(drop, [&] { probe.Drop(0, 5); });
        if (cell(5) != first) std::printf("the drop did not move the row\n");
    }
    std::printf(
        "UI-thread time on a 15-row list: add %.3f ms, delete %.3f ms, drop %.3f ms "
        "(median of %zu)\n",
        Median(add), Median(remove), Median(drop), add.size());
    dlg.done(0);

    // Ending the window while a pass hangs on a host that sent half a page and went silent:
    // the time from the end command until the window has stopped its workers.
    std::vector<double> ends;
    for (int round = 0; round < 5; ++round) {
        tickora::test::TempDir stalled;
        stalled.Write("base_data.ini",
                      tickora::Utf8ToCp932("[MEIGARA_DATA]\r\nNUM0=8058\r\nSIJOU0=東証\r\n"
                                           "KOSUU=1\r\n[LINK_JOUHOU]\r\nBASE_URL=" +
                                           host.Url("/fault/stall/q?s=銘柄.市場") + "\r\n"));
        const std::size_t before = host.Arrivals().size();
        tickora::CQuoteDlg hung(stalled.folder() + "tickora");
        hung.OnInitDialog();
        if (!host.WaitForArrivals(before + 1, 10000))
            std::printf("the pass never reached the host\n");
        const double w0 = WallMs();
        hung.done(0);
        ends.push_back(WallMs() - w0);
    }
    std::printf("ending the window during a stalled pass: %.1f ms (median of %zu)\n", Median(ends),
                ends.size());
    return 0;
}
