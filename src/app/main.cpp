#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/quote_app.h"
#include "common/program_folder.h"
#include "common/write_journal.h"
#include "links/link_templates.h"
#include "watchlist/settings_file.h"

namespace {

// The files named as the program will open them: beside the path it was started under.
void PrintHelp(const char* argv0) {
    const char* path = std::getenv("PATH");
    std::string folder =
        tickora::ProgramFolder(tickora::ResolveProgramPath(argv0, path ? path : ""));
    if (folder.empty()) folder = "./";
    const std::string journal = tickora::JournalFolder();
    std::printf(
        "Usage: tickora [--help | --version]\n"
        "Watches prices on the Japanese stock markets in one window. Any other argument is\n"
        "ignored.\n\n"
        "Its files, in code page 932, lie beside the path it is started under; the tickora\n"
        "launcher starts it under $XDG_DATA_HOME/tickora (~/.local/share/tickora):\n"
        "  %s\n      the watch list, the quote page URL (BASE_URL) and the seven patterns\n"
        "  %s\n  %s\n      the link templates\n"
        "A copy of a file's old text while it is rewritten in place, to undo a write cut short:\n"
        "  %s\n\n"
        "Out of the box it reads the demo market of tickora-quote-host on 127.0.0.1:50505.\n"
        "To watch real prices, see the section \"Watch real prices\" of README.md in TICKORA's\n"
        "source, and tickora-probe --help.\n",
        tickora::SettingsPath(folder).c_str(), tickora::StockListPath(folder).c_str(),
        tickora::NikkeiListPath(folder).c_str(),
        journal.empty() ? "(none: HOME is not set)" : journal.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before the toolkit starts: they need no display and make no file or folder.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            PrintHelp(argv[0]);
            return 0;
        }
        if (arg == "--version") {
            std::printf("tickora %s\n", TICKORA_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    tickora::CQuoteApp theApp;
    return theApp.InitInstance(argc > 0 ? argv[0] : "") ? 1 : 0;
}
