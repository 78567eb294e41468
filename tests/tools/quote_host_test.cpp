// The quote host's normal pages, market, chart, log and command line.

#include "quote_host.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "common/codepage.h"
#include "gif_reader.h"
#include "host_test_util.h"
#include "http_probe.h"
#include "quotes/fetch.h"

extern char** environ;

namespace tickora::test {
namespace {

class QuoteHostTest : public ::testing::Test {
  protected:
    QuoteHost host;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "1", "12,345", "1,234,567": no leading zero, commas every three digits.
bool IsGrouped(std::string_view s) {
    if (s.empty() || s[0] == '0' || s.size() % 4 == 0) return false;
    const std::size_t head = s.size() % 4;  // digits before the first comma
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool comma = i >= head && (i - head) % 4 == 0;
        if (comma ? s[i] != ',' : !IsDigit(s[i])) return false;
    }
    return true;
}

// "16,500.12", "0.05": a grouped whole part (or "0") and two decimals.
bool IsHundredths(std::string_view s) {
    if (s.size() < 4 || s[s.size() - 3] != '.' || !IsDigit(s[s.size() - 2]) || !IsDigit(s.back()))
        return false;
    const std::string_view whole = s.substr(0, s.size() - 3);
    return whole == "0" || IsGrouped(whole);
}

bool IsSigned(std::string_view s, bool (*body)(std::string_view)) {
    return s.size() > 1 && (s[0] == '+' || s[0] == '-') && body(s.substr(1));
}

bool IsClock(std::string_view s) {
    return s.size() == 5 && IsDigit(s[0]) && IsDigit(s[1]) && s[2] == ':' && IsDigit(s[3]) &&
           IsDigit(s[4]) && (s[0] - '0') * 10 + (s[1] - '0') < 24 && s[3] < '6';
}

bool IsRatio(std::string_view s) {
    return s == "0.00%" ||
           (s.size() > 1 && s.back() == '%' && IsSigned(s.substr(0, s.size() - 1), IsHundredths));
}

struct PageCase {
    const char* symbol;
    bool shiftJis;
    const char* name;  // UTF-8, as the client must see it after conversion to CP932
    bool index;
};

const PageCase kPages[] = {
    {"8058.t", true, "東西精機", false},  {"8058.q", false, "東西精機", false},
    {"8058.j", false, "東西精機", false}, {"8058.o", true, "東西精機", false},
    {"8058.n", true, "東西精機", false},  {"8058.f", false, "東西精機", false},
    {"8058.s", false, "東西精機", false}, {"1001.q", false, "青葉化学", false},
    {"4321.t", true, "ｿﾗﾏﾁ電子", false},  {"4321.s", false, "ｿﾗﾏﾁ電子", false},
    {"998407", true, "日経平均", true},   {"998405", false, "TOPIX", true},
    {"23337", false, "JASDAQ", true},
};

TEST_F(QuoteHostTest, EveryMarketAndIndexGivesSixSensibleFields) {
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(c.symbol);
        const std::string path = std::string("/q?s=") + c.symbol;
        const ProbeResult raw = Probe(host.Url(path));
        ASSERT_EQ(raw.code, CURLE_OK);
        EXPECT_EQ(raw.status, 200);
        EXPECT_EQ(Contains(raw.body, "Shift_JIS"), c.shiftJis);
        if (!c.shiftJis) {
            EXPECT_NE(raw.body.find("charset=EUC-JP"), std::string::npos);
        }
        EXPECT_LT(CountOf(raw.body, '\n'), 202u);
        std::size_t lineStart = 0;
        for (std::size_t nl; (nl = raw.body.find('\n', lineStart)) != std::string::npos;
             lineStart = nl + 1) {
            EXPECT_LE(nl - lineStart, 1022u);
        }

        // Through the client's own reader, as the program sees the page.
        const QuoteFields f = Fields(FetchPage(host.Url(path)));
        EXPECT_EQ(f[0], Sj(c.name));
        EXPECT_TRUE(IsClock(f[1])) << f[1];
        EXPECT_TRUE(c.index ? IsHundredths(f[2]) : IsGrouped(f[2])) << f[2];
        EXPECT_TRUE(c.index ? IsSigned(f[3], IsHundredths)
                            : (f[3] == "0" || IsSigned(f[3], IsGrouped)))
            << f[3];
        EXPECT_TRUE(IsRatio(f[4])) << f[4];
        EXPECT_EQ(f[3][0], f[4][0]) << "change and ratio disagree in sign";
        EXPECT_TRUE(IsGrouped(f[5])) << f[5];
    }
}

// The last digit fixes the sign, so both page kinds show each kind of change.
TEST_F(QuoteHostTest, NegativeChangesAreWrittenAsEachPageKindExpects) {
    struct Case {
        const char* symbol;
        char sign;  // '-', '+' or '0'
        bool shiftJis;
    };
    const Case cases[] = {
        {"8051.t", '-', true},  {"8051.q", '-', false}, {"8052.t", '+', true},
        {"8052.q", '+', false}, {"8050.t", '0', true},  {"8050.q", '0', false},
        {"998407", '-', true},  {"998405", '-', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.symbol);
        const ProbeResult raw = Probe(host.Url(std::string("/q?s=") + c.symbol));
        const QuoteFields f = Fields(raw.body);
        ASSERT_FALSE(f[3].empty());
        EXPECT_EQ(f[3][0], c.sign);
        if (c.sign == '0') {
            EXPECT_EQ(f[3], "0");
            EXPECT_EQ(f[4], "0.00%");
        }
        const bool red = raw.body.find("<font color=red>") != std::string::npos;
        EXPECT_EQ(red, c.sign == '-' && !c.shiftJis);
        if (c.sign == '-') {
            const std::string cell = c.shiftJis ? f[3] : "<font color=red>" + f[3] + "</font>";
            EXPECT_NE(raw.body.find("<td nowrap>" + cell + "</td>"), std::string::npos);
        }
    }
}

TEST_F(QuoteHostTest, AnyFourDigitCodeIsOneStableFictionalCompany) {
    std::set<std::string> names;
    for (const char* code : {"1234", "5678", "2468", "9999", "3141", "7777"}) {
        SCOPED_TRACE(code);
        const QuoteFields sj = Fields(Probe(host.Url(std::string("/q?s=") + code + ".t")).body);
        const QuoteFields euc = Fields(Probe(host.Url(std::string("/q?s=") + code + ".f")).body);
        ASSERT_FALSE(sj[0].empty());
        EXPECT_EQ(sj[0], euc[0]);
        EXPECT_EQ(sj[0].find('?'), std::string::npos) << "name not representable";
        EXPECT_EQ(Fields(Probe(host.Url(std::string("/q?s=") + code + ".t")).body)[0], sj[0]);
        names.insert(sj[0]);
    }
    EXPECT_GE(names.size(), 3u);
}

TEST_F(QuoteHostTest, QuoteIsStableWithinAMinute) {
    // Two fetches agree unless the minute turned between them; three tries make that moot.
    bool compared = false;
    for (int attempt = 0; attempt < 3 && !compared; ++attempt) {
        const std::string a = ExtractFields(Probe(host.Url("/q?s=6502.q")).body, DefaultPatterns());
        const std::string b = ExtractFields(Probe(host.Url("/q?s=6502.q")).body, DefaultPatterns());
        if (SplitQuoteResult(a)[1] != SplitQuoteResult(b)[1]) continue;
        EXPECT_EQ(a, b);
        compared = true;
    }
    EXPECT_TRUE(compared);
}

TEST_F(QuoteHostTest, UnknownCodesGetAPageWithoutTheRow) {
    for (const char* symbol :
         {"123", "12345", "abcd", "8058.x", "8058", "", "99840", "80581.t", "Shift_JIS"}) {
        SCOPED_TRACE(symbol);
        const ProbeResult raw = Probe(host.Url(std::string("/q?s=") + symbol));
        EXPECT_EQ(raw.status, 200);
        EXPECT_NE(raw.body.find("<html>"), std::string::npos);
        EXPECT_NE(raw.body.find("</html>"), std::string::npos);
        EXPECT_EQ(raw.body.find(kAnchor), std::string::npos);
        EXPECT_EQ(ExtractFields(raw.body, DefaultPatterns()), "");
    }
    // The echoed code must not turn an EUC-JP page into a "Shift_JIS" one.
    EXPECT_FALSE(Contains(Probe(host.Url("/q?s=Shift_JIS.q")).body, "Shift_JIS"));
}

TEST_F(QuoteHostTest, ChartIsAValidGif) {
    struct Case {
        const char* path;
        bool line;  // a listed symbol draws its day's line
    };
    for (const Case& c : {Case{"/c/1d/8/8058.t.gif", true}, Case{"/c/1d/8/998407.gif", true},
                          Case{"/c/1d/8/nothing.gif", false}}) {
        SCOPED_TRACE(c.path);
        const ProbeResult raw = Probe(host.Url(c.path));
        EXPECT_EQ(raw.status, 200);
        EXPECT_EQ(raw.contentType, "image/gif");
        const auto gif = ReadGif(raw.body);
        ASSERT_TRUE(gif.has_value());
        EXPECT_EQ(gif->width, 160);
        EXPECT_EQ(gif->height, 80);
        std::set<unsigned char> colours(gif->pixels.begin(), gif->pixels.end());
        for (const unsigned char p : colours) EXPECT_LT(p, gif->paletteSize);
        EXPECT_EQ(colours.count(2) == 1, c.line);
    }
}

TEST_F(QuoteHostTest, SitePagesOpen) {
    struct Case {
        const char* path;
        const char* mentions;  // UTF-8
    };
    for (const Case& c : {Case{"/", "日経平均"}, Case{"/bbs?code=8058", "東西精機"},
                          Case{"/index.cfm?code=8058", "東西精機"}}) {
        SCOPED_TRACE(c.path);
        const ProbeResult raw = Probe(host.Url(c.path));
        EXPECT_EQ(raw.status, 200);
        EXPECT_EQ(raw.contentType.rfind("text/html", 0), 0u);
        EXPECT_NE(raw.body.find("</html>"), std::string::npos);
        EXPECT_TRUE(Contains(raw.body, Sj(c.mentions)));
    }
    EXPECT_EQ(Probe(host.Url("/no/such/page")).status, 404);
}

TEST_F(QuoteHostTest, LogRecordsMethodTargetAndAgentInOrder) {
    const std::string targets[] = {"/q?s=8058.t", "/fault/404/q?s=1001.q", "/c/1d/8/8058.t.gif",
                                   "/bbs?code=1"};
    for (int i = 0; i < 4; ++i) {
        ProbeOptions o;
        o.userAgent = "agent " + std::to_string(i);
        Probe(host.Url(targets[i]), o);
    }
    FetchPage(host.Url("/q?s=998405"));
    ASSERT_TRUE(host.WaitForRequests(5, 5000));
    const std::vector<HostRequest> log = host.Requests();
    ASSERT_EQ(log.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(log[i].method, "GET");
        EXPECT_EQ(log[i].target, targets[i]);
        EXPECT_EQ(log[i].userAgent, "agent " + std::to_string(i));
        EXPECT_EQ(log[i].bytesSent, -1);
    }
    EXPECT_EQ(log[4].target, "/q?s=998405");
    EXPECT_EQ(log[4].userAgent, kUserAgent);
}

TEST(QuoteHostFixture, FreeClosedPortRefusesAndTheHostGoesWithItsFixture) {
    EXPECT_EQ(Probe("http://127.0.0.1:" + std::to_string(FreeClosedPort()) + "/").code,
              CURLE_COULDNT_CONNECT);
    std::string url;
    pid_t pid = -1;
    {
        QuoteHost host;
        url = host.Url("/q?s=8058.t");
        pid = host.pid();
        ASSERT_EQ(Probe(url).status, 200);
    }
    EXPECT_EQ(Probe(url).code, CURLE_COULDNT_CONNECT);
    EXPECT_NE(kill(pid, 0), 0) << "host process still there";
}

TEST(QuoteHostFixture, SigtermEndsTheHostCleanlyEvenDuringAStall) {
    QuoteHost host;
    std::thread client([&] {
        ProbeOptions o;
        o.timeoutMs = 30'000;
        Probe(host.Url("/fault/stall/q?s=8058.t"), o);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(kill(host.pid(), SIGTERM), 0);
    int status = -1;
    pid_t r = 0;
    for (int i = 0; i < 200 && r == 0; ++i) {  // at most 10 s
        r = waitpid(host.pid(), &status, WNOHANG);
        if (r == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    client.join();
    ASSERT_EQ(r, host.pid()) << "host did not end within 10 s";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Runs the binary with args, collecting stdout; exit status or -1.
int RunHost(std::vector<std::string> args, std::string& out) {
    args.insert(args.begin(), QuoteHostBinary());
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        return -1;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QuoteHostCommandLine, HelpDocumentsEverythingAndBadArgumentsFail) {
    std::string help;
    ASSERT_EQ(RunHost({"--help"}, help), 0);
    for (const char* word :
         {"--port",  "--log",        "Shift_JIS",     "EUC-JP",    "998407", "998405",
          "23337",   "delay=",       "404",           "500",       "reset",  "stall",
          "trickle", "huge",         "longline",      "manylines", "crlf",   "nul",
          "garbage", "redirectloop", "lowershiftjis", "empty"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
    struct Bad {
        std::vector<std::string> args;
    };
    for (const Bad& b :
         {Bad{{"--bogus"}}, Bad{{"--port", "x"}}, Bad{{"--port", "70000"}}, Bad{{"--port"}}}) {
        std::string out;
        EXPECT_EQ(RunHost(b.args, out), 2) << b.args[0];
        EXPECT_EQ(out.find("listening"), std::string::npos);
    }
    // A port that is taken cannot be listened on.
    QuoteHost taken;
    std::string out;
    EXPECT_EQ(RunHost({"--port", std::to_string(taken.port())}, out), 1);
}

}  // namespace
}  // namespace tickora::test
