// Whole refresh passes of the real main window (entry row, three indices, fifteen rows)
// against the loopback quote host, whose /move/ prices give every cell a new value on each
// pass: the CPU time the UI thread spends on a pass with the window shown on a real X
// server and hidden, beside the 1 ms it may cost, and the wall time of a pass beside 19 raw
// socket GETs of the same requests. Run under an X server (bench/app_measure.sh starts one).
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "dlg_probe.h"
#include "quote_host.h"
#include "raw_get.h"
#include "side_by_side.h"
#include "temp_dir.h"

namespace {

using tickora::bench::Median;

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

// Runs the event loop until the window's pass ends or timeoutMs passes; false on the latter.
bool WaitForPassEnd(tickora::CQuoteDlg& dlg, int timeoutMs) {
    QEventLoop loop;
    bool ended = false;
    const auto connection = QObject::connect(&dlg, &tickora::CQuoteDlg::PassEnded, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return ended;
}

// Lets the deferred work of a pass (the coalesced list update, repaints) run out.
void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::vector<std::string> Cells(tickora::WatchListModel& model) {
    std::vector<std::string> cells;
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c) cells.push_back(model.Cell(r, c));
    return cells;
}

struct Passes {
    std::vector<double> wall, ui, changed;
    std::size_t cells = 0;
    int missed = 0;
};

// rounds passes started as the refresh timer starts them; the UI-thread time of each runs
// from the tick to the end of its deferred repaint.
Passes RunPasses(tickora::CQuoteDlg& dlg, tickora::test::DlgProbe& probe, int rounds) {
    Passes p;
    auto& model = *static_cast<tickora::WatchListModel*>(
        dlg.findChild<QTableView*>(QString::number(tickora::ids::kWatchList))->model());
    std::vector<std::string> before = Cells(model);
    for (int round = 0; round < rounds; ++round) {
        const double w0 = WallMs(), c0 = ThreadCpuMs();
        probe.Timer(tickora::ids::kTimerRefresh);
        if (!WaitForPassEnd(dlg, 10'000)) ++p.missed;
        const double w1 = WallMs();
        Settle(50);
        p.ui.push_back(ThreadCpuMs() - c0);
        p.wall.push_back(w1 - w0);
        const std::vector<std::string> after = Cells(model);
        int changed = 0;
        for (std::size_t i = 0; i < after.size() && i < before.size(); ++i)
            changed += after[i] != before[i];
        p.changed.push_back(changed);
        p.cells = after.size();
        before = after;
    }
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "window_pass_bench: needs an X server (DISPLAY)\n");
        return 2;
    }
    QApplication app(argc, argv);
    tickora::test::QuoteHost host;
    tickora::test::TempDir dir;
    std::string ini = "[MEIGARA_DATA]\r\n";
    for (int i = 0; i < 15; ++i)
        ini += "NUM" + std::to_string(i) + "=" + std::to_string(1301 + i * 7) + "\r\nSIJOU" +
               std::to_string(i) + "=東証\r\n";
    ini += "KOSUU=15\r\n[LINK_JOUHOU]\r\nBASE_URL=" + host.Url("/move/q?s=銘柄.市場") + "\r\n";
    dir.Write("base_data.ini", tickora::Utf8ToCp932(ini));

    tickora::CQuoteDlg dlg(dir.folder() + "tickora");
    tickora::test::DlgProbe probe(dlg);
    dlg.OnInitDialog();
    dlg.show();
    if (!WaitForPassEnd(dlg, 10'000)) std::printf("the start-up pass did not end\n");
    dlg.findChild<QLineEdit*>(QString::number(tickora::ids::kCodeEdit))->setText("8058");
    Settle(200);  // the entry row's preview

    const Passes shown = RunPasses(dlg, probe, 30);
    std::printf(
        "platform %s, window shown: %.2f ms wall per pass, cells changed per pass %.0f "
        "of %zu (median of %zu, %d passes did not end)\n",
        qPrintable(QGuiApplication::platformName()), Median(shown.wall), Median(shown.changed),
        shown.cells, shown.wall.size(), shown.missed);
    std::printf("%s\n", tickora::bench::RatioLine("UI-thread CPU per pass, window shown",
                                                  Median(shown.ui), "goal", 1, "ms", 1)
                            .c_str());

    dlg.hide();
    Settle(100);
    const std::size_t before = host.Requests().size();
    const Passes hidden = RunPasses(dlg, probe, 30);
    std::printf("%s\n", tickora::bench::RatioLine("UI-thread CPU per pass, window hidden",
                                                  Median(hidden.ui), "goal", 1, "ms", 1)
                            .c_str());

    // The same 19 requests as the last pass, one raw client each, one after the other.
    const auto answered = host.Requests();
    const int port = tickora::bench::PortOf(host.Url(""));
    const std::string probeTarget = "/q?s=8058.t";
    const std::string request = tickora::bench::FetchRequestBytes(port, probeTarget);
    std::vector<std::string> requests;
    for (std::size_t i = answered.size() - std::min<std::size_t>(19, answered.size() - before);
         i < answered.size(); ++i) {
        std::string r = request;
        r.replace(4, probeTarget.size(), answered[i].target);
        requests.push_back(r);
    }
    // Each round after the same quiet time as a pass, which starts from an idle machine too.
    std::vector<double> raw;
    for (int round = 0; round < 30; ++round) {
        Settle(50);
        const double w0 = WallMs();
        for (const std::string& r : requests) tickora::bench::RawGet(port, r);
        raw.push_back(WallMs() - w0);
    }
    std::printf("%s\n",
                tickora::bench::RatioLine("a pass of the window, hidden", Median(hidden.wall),
                                          std::to_string(requests.size()) + " raw socket GETs",
                                          Median(raw), "ms", 1.3)
                    .c_str());
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
        const std::size_t arrived = host.Arrivals().size();
        tickora::CQuoteDlg hung(stalled.folder() + "tickora");
        hung.OnInitDialog();
        if (!host.WaitForArrivals(arrived + 1, 10000))
            std::printf("the pass never reached the host\n");
        const double w0 = WallMs();
        hung.done(0);
        ends.push_back(WallMs() - w0);
    }
    std::printf("ending the window during a stalled pass: %.1f ms (median of %zu)\n", Median(ends),
                ends.size());
    return 0;
}
