// The loopback quote host's own contract: pages, chart, log, lifetime and command line. What a
// client makes of its fault modes is proven by the fetch tests.

#include "quote_host.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "common/codepage.h"
#include "quotes/extract.h"
#include "quotes/fetch.h"

namespace tickora::test {
namespace {

struct Reply {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body, type, location;
};

// A raw GET (no redirects followed, nothing cut), unlike the program's FetchPage.
Reply Get(const std::string& url, long timeoutMs = 10'000, const char* agent = "tickora-test") {
    Reply r;
    CURL* c = curl_easy_init();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, agent);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(
        c, CURLOPT_WRITEFUNCTION, +[](char* d, size_t s, size_t n, void* b) {
            static_cast<std::string*>(b)->append(d, s * n);
            return s * n;
        });
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &r.body);
    r.code = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &r.status);
    char *type = nullptr, *location = nullptr;
    curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type);
    curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location);
    r.type = type ? type : "";
    r.location = location ? location : "";
    curl_easy_cleanup(c);
    return r;
}

QuoteFields Fields(std::string_view page) {
    return SplitQuoteResult(ExtractFields(page, DefaultPatterns()));
}

bool Has(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

constexpr const char* kRow = "</tr><tr align=right>";

class QuoteHostTest : public ::testing::Test {
  protected:
    QuoteHost host;
    std::string Quote(const std::string& symbol) { return host.Url("/q?s=" + symbol); }
};

TEST_F(QuoteHostTest, EveryMarketAndIndexInItsPageKind) {
    struct Case {
        const char* symbol;
        bool shiftJis;
        const char* name;  // UTF-8; nullptr: any name
        char sign;         // last digit: 0 unchanged, odd falling, even rising
    };
    const Case cases[] = {
        {"8058.t", true, "東西精機", '+'},  {"8058.q", false, "東西精機", '+'},
        {"8058.j", false, "東西精機", '+'}, {"8058.o", true, "東西精機", '+'},
        {"8058.n", true, "東西精機", '+'},  {"8058.f", false, "東西精機", '+'},
        {"8058.s", false, "東西精機", '+'}, {"1001.q", false, "青葉化学", '-'},
        {"4321.t", true, "ｿﾗﾏﾁ電子", '-'},  {"4321.s", false, "ｿﾗﾏﾁ電子", '-'},
        {"8050.t", true, nullptr, '0'},     {"8050.q", false, nullptr, '0'},
        {"998407", true, "日経平均", '-'},  {"998405", false, "TOPIX", '-'},
        {"23337", false, "JASDAQ", '-'},
    };
    const auto Matches = [](const std::string& s, const std::string& pattern) {
        return std::regex_match(s, std::regex(pattern));
    };
    const std::string whole = "[1-9]\\d{0,2}(,\\d{3})*", cents = "(0|" + whole + ")\\.\\d\\d";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.symbol);
        const Reply r = Get(Quote(c.symbol));
        EXPECT_EQ(Has(r.body, "Shift_JIS"), c.shiftJis);
        EXPECT_TRUE(Has(r.body, c.shiftJis ? "charset=Shift_JIS" : "charset=EUC-JP"));
        const QuoteFields f = Fields(r.body);  // EUC-JP names come out as CP932
        EXPECT_TRUE(c.name ? f[0] == Sj(c.name) : !f[0].empty()) << f[0];
        EXPECT_TRUE(Matches(f[1], "([01]\\d|2[0-3]):[0-5]\\d")) << f[1];
        const std::string num = Has(c.symbol, ".") ? whole : cents, sign = {'[', c.sign, ']'};
        EXPECT_TRUE(Matches(f[2], num)) << f[2];
        EXPECT_TRUE(Matches(f[3], c.sign == '0' ? "0" : sign + num)) << f[3];
        EXPECT_TRUE(Matches(f[4], c.sign == '0' ? "0\\.00%" : sign + cents + "%")) << f[4];
        EXPECT_TRUE(Matches(f[5], whole)) << f[5];
        // Only EUC-JP pages mark a fall in red; Shift_JIS pages write "-12" plainly.
        const bool red = c.sign == '-' && !c.shiftJis;
        EXPECT_EQ(Has(r.body, "<font color=red>"), red);
        const std::string cell = red ? "<font color=red>" + f[3] + "</font>" : f[3];
        EXPECT_TRUE(Has(r.body, "<td nowrap>" + cell + "</td>"));
    }
}

TEST_F(QuoteHostTest, AnyFourDigitCodeIsOneStableFictionalCompany) {
    std::set<std::string> names;
    for (const std::string code : {"1234", "5678", "2468", "9999", "3141", "7777"}) {
        const std::string name = Fields(Get(Quote(code + ".t")).body)[0];
        EXPECT_EQ(name.find('?'), std::string::npos) << code << ": name not representable";
        EXPECT_EQ(Fields(Get(Quote(code + ".f")).body)[0], name) << code;
        names.insert(name);
    }
    EXPECT_GE(names.size(), 3u);
    // The minute turns at most once during three quick fetches, so one neighbouring pair
    // falls within a minute and must agree to the byte.
    std::string q[3];
    for (std::string& s : q) s = ExtractFields(Get(Quote("6502.q")).body, DefaultPatterns());
    EXPECT_TRUE(!q[0].empty() && (q[0] == q[1] || q[1] == q[2]))
        << q[0] << " " << q[1] << " " << q[2];
}

// Every path but a listed code's quote answers without the quote row.
TEST_F(QuoteHostTest, SitePagesChartsRedirectsAndUnknownCodes) {
    struct Case {
        const char* path;
        long status;
        const char* type;      // Content-Type prefix
        const char* mentions;  // UTF-8, in the body
        const char* location;  // "" when no redirect
    };
    const Case cases[] = {
        {"/", 200, "text/html", "日経平均", ""},
        {"/bbs?code=8058", 200, "text/html", "東西精機", ""},
        {"/index.cfm?code=8058", 200, "text/html", "東西精機", ""},
        {"/no/such/page", 404, "", "", ""},
        {"/fault/nosuchmode/q?s=8058.t", 404, "", "", ""},
        {"/fault/redirect/q?s=8058.t", 302, "", "", "/q?s=8058.t"},
        {"/fault/redirectloop/q?s=8058.t&x=1", 302, "", "", "/fault/redirectloop/q?s=8058.t&x=1"},
        {"/c/1d/8/8058.t.gif", 200, "image/gif", "", ""},
        {"/c/1d/8/nothing.gif", 200, "image/gif", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Reply r = Get(host.Url(c.path));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.type.rfind(c.type, 0), 0u) << r.type;
        EXPECT_EQ(r.location, *c.location ? host.Url(c.location) : "");
        EXPECT_TRUE(Has(r.body, Sj(c.mentions)));
        EXPECT_FALSE(Has(r.body, kRow));
        // GIF89a, a 160x80 logical screen (little-endian), and the trailer byte.
        EXPECT_TRUE(
            r.type != "image/gif" ||
            (r.body.starts_with(std::string("GIF89a\xA0\0P\0", 10)) && r.body.ends_with('\x3B')));
    }
    for (const std::string code :
         {"123", "12345", "abcd", "8058.x", "8058", "", "99840", "80581.t", "Shift_JIS"}) {
        const Reply r = Get(Quote(code));
        EXPECT_TRUE(r.status == 200 && Has(r.body, "</html>") && !Has(r.body, kRow)) << code;
    }
    // The echoed code must not turn an EUC-JP page into a "Shift_JIS" one.
    EXPECT_FALSE(Has(Get(Quote("Shift_JIS.q")).body, "Shift_JIS"));
    // A listed symbol draws its day's line; an unlisted one gets the empty frame.
    EXPECT_NE(Get(host.Url("/c/1d/8/8058.t.gif")).body, Get(host.Url("/c/1d/8/nothing.gif")).body);
}

TEST_F(QuoteHostTest, LogRecordsMethodTargetAndAgentInOrder) {
    const std::string targets[] = {"/q?s=8058.t", "/fault/404/q?s=1001.q", "/c/1d/8/8058.t.gif",
                                   "/bbs?code=1", "/fault/trickle/q?s=998405"};
    for (int i = 0; i < 4; ++i)
        Get(host.Url(targets[i]), 10'000, ("agent " + std::to_string(i)).c_str());
    // Streamed last: its line is written only when the body is done.
    EXPECT_EQ(Fields(FetchPage(host.Url(targets[4])))[0], "TOPIX");
    ASSERT_TRUE(host.WaitForRequests(5, 5000));
    const std::vector<HostRequest> log = host.Requests();
    ASSERT_EQ(log.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(log[i].method + " " + log[i].target + " " + log[i].userAgent,
                  "GET " + targets[i] + " " + (i < 4 ? "agent " + std::to_string(i) : kUserAgent));
        EXPECT_EQ(log[i].bytesSent > 0, i == 4) << "only streamed bodies count their bytes";
        EXPECT_TRUE(log[i].completed);
    }
}

TEST_F(QuoteHostTest, DelayHoldsTheAnswer) {
    EXPECT_EQ(Get(Quote("8058.t&delay=3000"), 300).code, CURLE_OPERATION_TIMEDOUT);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Fields(Get(Quote("8058.t&delay=250")).body)[0], Sj("東西精機"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

TEST(QuoteHostFixture, FreeClosedPortRefusesAndTheHostGoesWithItsFixture) {
    EXPECT_EQ(Get("http://127.0.0.1:" + std::to_string(FreeClosedPort()) + "/").code,
              CURLE_COULDNT_CONNECT);
    auto host = std::make_unique<QuoteHost>();
    const std::string url = host->Url("/q?s=8058.t");
    const pid_t pid = host->pid();
    ASSERT_EQ(Get(url).status, 200);
    host.reset();
    EXPECT_EQ(Get(url).code, CURLE_COULDNT_CONNECT);
    EXPECT_NE(kill(pid, 0), 0) << "host process still there";
}

TEST(QuoteHostFixture, SigtermEndsTheHostCleanlyEvenDuringAStall) {
    QuoteHost host;
    std::thread client([&] { Get(host.Url("/fault/stall/q?s=8058.t"), 30'000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(kill(host.pid(), SIGTERM), 0);
    int status = -1;
    pid_t r = 0;
    for (int i = 0; i < 200 && (r = waitpid(host.pid(), &status, WNOHANG)) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // at most 10 s
    client.join();
    ASSERT_EQ(r, host.pid()) << "host did not end within 10 s";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Runs the binary (bounded to 10 s) with args, collecting stdout; its exit status or -1.
std::pair<int, std::string> RunHost(const std::string& args) {
    const std::string command = "timeout 10 '" + QuoteHostBinary() + "' " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST_F(QuoteHostTest, HelpDocumentsEverythingAndBadArgumentsFail) {
    const auto [status, help] = RunHost("--help");
    ASSERT_EQ(status, 0);
    std::istringstream words(
        "--port --log Shift_JIS EUC-JP 998407 998405 23337 delay= 404 500 reset stall trickle huge "
        "longline manylines crlf nul garbage redirect redirectloop lowershiftjis empty");
    for (std::string word; words >> word;) EXPECT_TRUE(Has(help, word)) << word;
    for (const char* bad : {"--bogus", "--port x", "--port 70000", "--port"})
        EXPECT_EQ(RunHost(bad).first, 2) << bad;
    // The fixture's port is taken, so it cannot be listened on.
    EXPECT_EQ(RunHost("--port " + std::to_string(host.port())).first, 1);
}

}  // namespace
}  // namespace tickora::test
