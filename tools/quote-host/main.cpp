// quote-host: the loopback quote host of the demo and the tests.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "quote_server.h"
#include "request_log.h"

namespace {

constexpr const char* kHelp =
    R"(usage: tickora-quote-host [--port N] [--log FILE] [--clock DAY:MINUTE] [--exit-with-stdin]
                          [--help]

A quote host for TICKORA on 127.0.0.1 with a simulated market of fictional companies.

  --port N           port to listen on (0 = any free port; default 50505)
  --log FILE         append "+<TAB>METHOD<TAB>TARGET" when a request arrives, and when it
                     has been answered METHOD<TAB>TARGET<TAB>USER-AGENT<TAB>ACCEPT-ENCODING
                     <TAB>CONTENT-ENCODING<TAB>BYTES<TAB>complete|cut: the request's header
                     and the answer's coding (empty for none), the body bytes on the wire
                     and whether all went out (streamed bodies, reset, stall, trickle, huge,
                     short and bomb, are logged when they end)
  --clock DAY:MINUTE every quote as at that moment instead of the wall clock's: DAY is a
                     day number read as YEAR*1000 + day of the year from 0 (the wall clock
                     gives 2024100 on 10 April 2024), MINUTE the minute of the day, 0..1439
                     (760 = 12:40); the /move prefix then steps from DAY
  --exit-with-stdin  stop when standard input reaches its end (the starter went away)
  --help             this text

On start one line "listening on 127.0.0.1:PORT" goes to standard output. SIGTERM or SIGINT
stops the host cleanly.

Paths:
  /q?s=CODE.SUFFIX   quote page of a 4-digit code on market t q j o n f s
  /q?s=CODE          index pages: 998407 (Nikkei average), 998405 (TOPIX), 23337 (JASDAQ)
  /v2/q?s=SYMBOL     the same quotes in the layout of today's portals: UTF-8 (declared in
                     the Content-Type header and a <meta charset>), values in class-named
                     div and span elements after some 130 lines of other markup
  /v3/table/q?s=SYMBOL   UTF-8, the figures beside th labels with up/down/flat classes, the
                     volume alone on an indented line; the board past line 600 of ~100 KB
  /v3/module/q?s=SYMBOL  UTF-8 on a few minified lines, hashed class names, change and
                     ratio in one element, the price split at its point, full-width signs
                     and no-break spaces; the board past byte 300,000
  /v3/script/q?s=SYMBOL  UTF-8, empty placeholders; the figures only in a JSON object in a
                     <script id="__APP_STATE__">, filled in by an inline script
  /v4/hibari/q?s=SYMBOL   UTF-8, an invented portal's old nested tables: index ticker cells
                     of class "num" as the quote's, a time beside each index link, the
                     registered name before the header's short one, the date in the price
                     label, change and ratio in two cells after one label, 株 in a span
  /v4/hibari2/q?s=SYMBOL  the same site redesigned: divs and a dl, the price always with
                     decimals split by a tag across lines, 円 and % in spans, the date in
                     place of the time without trades or after 15:00, the registered name
                     after the quote, related stocks in the quote's classes
  /v4/misaki/q?s=SYMBOL   UTF-8, another site: a labelled board table after index cells of
                     its class "val", the registered name in the breadcrumbs, picked stocks
                     in full-width digits, 円 after the change, a no-break space before 株
                     The /v4 lists of other stocks and news change length by the minute; a
                     code ending in 00 (e.g. 8300.t) has had no trades today there: ---.
  /c/1d/8/ANY.gif    intraday chart, a GIF89a image
  /  /bbs  /index.cfm  home page, message board (?code= or ?board=100CODE), company
                     information (?code= or ?scode=); every default link of the program's
                     URL lists opens one of these or a quote page
  /blob?n=N          N bytes of every value (byte i = (131 i + i / 251) mod 256)
Any other code gets a page without the quote row.

Compression: a text answer (any but the GIF and /blob) goes out gzip-encoded when the
request's Accept-Encoding offers gzip, else deflate-encoded (zlib data) when it offers
deflate, else as it is; a weight q=0 refuses a coding, * offers both. Text answers carry
Vary: Accept-Encoding. Streamed faults (reset, stall, trickle, short, huge) are always
sent as they are, and bomb always gzipped.

Page kinds:
  Shift_JIS (CP932 bytes, charset declared as Shift_JIS): markets t, o, n and index 998407;
    negative numbers are written plainly ("-12").
  EUC-JP (the text Shift_JIS never appears): markets q, j, f, s and indices 998405, 23337;
    negative numbers are written as <font color=red>-12</font>.

Market: prices follow a random walk with one step per minute of the local wall clock (or
stand still at the --clock moment), the same for every request within that minute. The last
digit of a code fixes the sign of the day's change: 0 unchanged, odd falling, even rising.

Faults, as a prefix before the normal path (e.g. /fault/404/q?s=8058.t):
  404, 500        that status with an error page without the quote row
  reset           headers and half the page, then a connection reset (RST)
  stall           headers and half the page, then silence (at most 120 s, or until the
                  client goes away or the host stops)
  trickle         the page in 128-byte chunks every 100 ms
  short           the page less its last 64 bytes, then the connection closed: a body
                  shorter than its Content-Length
  huge            64 MiB of filler lines before the quote row
  bomb            Content-Encoding: gzip whatever was asked: some 4 MB that inflate to the
                  page with 4 GiB of spaces before the quote row
  longline        a line longer than 1023 bytes before the row
  manylines       more than 202 lines before the row
  crlf            CR LF line ends
  nul             NUL bytes and bytes invalid in CP932 before the row
  garbage         4 KiB of random bytes
  redirect        302 to the normal path
  redirectloop    302 to the same URL, forever
  lowershiftjis   charset declared as "shift_jis" in lower case, EUC-JP bytes
  empty           200 with an empty body
The query flag delay=MS (at most 60000) holds any answer that long.

Moving prices, as a prefix before any other path (e.g. /move/q?s=8058.t): the market clock
steps one minute with every such request, and the time, price, change, ratio and volume of
each quote differ from its previous answer, so that every cell of a watch list changes on
each refresh (a code ending in 0 rises as well).
)";

int Usage(const char* problem) {
    std::fprintf(stderr, "tickora-quote-host: %s (try --help)\n", problem);
    return 2;
}

struct Options {
    int port = 50505;
    std::string logPath;
    bool exitWithStdin = false;
    std::optional<tickora::quotehost::MarketClock> clock;
};

// The options of the command line; an exit status when the program ends here.
std::optional<int> ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const long p = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || p < 0 || p > 65535) return Usage("bad port");
            o.port = static_cast<int>(p);
        } else if (arg == "--log" && i + 1 < argc) {
            o.logPath = argv[++i];
        } else if (arg == "--clock" && i + 1 < argc) {
            o.clock = tickora::quotehost::MarketClock::Parse(argv[++i]);
            if (!o.clock) return Usage("bad clock, want DAY:MINUTE");
        } else if (arg == "--exit-with-stdin") {
            o.exitWithStdin = true;
        } else {
            return Usage(("unknown argument " + arg).c_str());
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (const std::optional<int> status = ParseOptions(argc, argv, o)) return *status;

    // A client that goes away must not kill the host by a write; the stop signals are taken
    // by one thread, so every other thread runs with them blocked.
    signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    tickora::quotehost::RequestLog log;
    if (!o.logPath.empty() && !log.Open(o.logPath)) {
        std::fprintf(stderr, "quote-host: cannot open log %s\n", o.logPath.c_str());
        return 1;
    }
    tickora::quotehost::QuoteServer server(log, o.clock);
    const int bound = server.Bind(o.port);
    if (bound <= 0) {
        std::fprintf(stderr, "quote-host: cannot listen on 127.0.0.1:%d\n", o.port);
        return 1;
    }

    // Both watchers block for good; they are detached so that returning from main ends them.
    std::thread([&server, stopSignals] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        server.Stop();
    }).detach();
    if (o.exitWithStdin) {
        std::thread([&server] {
            char buffer[256];
            while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
            }
            server.Stop();
        }).detach();
    }

    std::printf("listening on 127.0.0.1:%d\n", bound);
    std::fflush(stdout);
    return server.Run() ? 0 : 1;
}
