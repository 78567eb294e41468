#include "app/quote_app.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QFontDatabase>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>

#include "app/quote_dlg.h"
#include "common/program_folder.h"

namespace tickora {

namespace {

// Log-out, shut-down and Ctrl+C arrive as signals; the handler only writes a byte, and the
// event loop ends the program in order.
int g_stopPipe[2] = {-1, -1};
void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_stopPipe[1], &byte, 1);
}

// The toolkit ends the process with exit() when the display connection breaks.
CQuoteDlg* g_liveDialog = nullptr;
void SaveAtExit() {
    if (g_liveDialog) g_liveDialog->OnProcessExit();
}

void SetStopHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

}  // namespace

bool CQuoteApp::InitInstance(std::string_view argv0) {
    // The window hides itself in the tray; only the dialog's end ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        std::fputs(
            "tickora: no installed font has Japanese characters, so its texts show as empty "
            "boxes; install one: apt-get install fonts-ipafont-gothic (or fonts-noto-cjk)\n",
            stderr);
    if (g_stopPipe[0] < 0 && ::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) g_stopPipe[0] = -1;
    SetStopHandler(OnStopSignal);
    const char* path = std::getenv("PATH");
    CQuoteDlg dlg(ResolveProgramPath(argv0, path ? path : ""));
    QSocketNotifier stop(g_stopPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &dlg, [&dlg] {
        char bytes[16];
        while (::read(g_stopPipe[0], bytes, sizeof bytes) > 0) {
        }
        // Open boxes and menus close first, so that nothing holds the end.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != &dlg && window->isVisible()) window->close();
        dlg.done(QDialog::Rejected);
    });
    // The desktop session's end saves too; the session may still be cancelled after it.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dlg,
                     [&dlg] { dlg.OnEndSession(); });
    g_liveDialog = &dlg;
    static const bool registered = std::atexit(SaveAtExit) == 0;
    (void)registered;
    dlg.DoModal();
    g_liveDialog = nullptr;
    SetStopHandler(SIG_DFL);
    return false;
}

}  // namespace tickora
