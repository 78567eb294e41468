// The quote host's fault modes, seen from a client over real HTTP.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "common/codepage.h"
#include "host_test_util.h"
#include "http_probe.h"
#include "quote_host.h"
#include "quotes/fetch.h"

namespace tickora::test {
namespace {

class QuoteHostFaultTest : public ::testing::Test {
  protected:
    QuoteHost host;

    // The log line of the first request for target, waiting (bounded) for it to be written.
    std::optional<HostRequest> LoggedRequest(const std::string& target, int timeoutMs = 10'000) {
        for (int waited = 0; waited <= timeoutMs; waited += 50) {
            for (const HostRequest& r : host.Requests()) {
                if (r.target == target) return r;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }
};

std::string BeforeAnchor(const std::string& body) {
    const auto a = body.find(kAnchor);
    return a == std::string::npos ? std::string() : body.substr(0, a);
}

TEST_F(QuoteHostFaultTest, ErrorStatusesCarryAPageWithoutTheRow) {
    for (const int status : {404, 500}) {
        SCOPED_TRACE(status);
        const ProbeResult r = Probe(host.Url("/fault/" + std::to_string(status) + "/q?s=8058.t"));
        EXPECT_EQ(r.code, CURLE_OK);
        EXPECT_EQ(r.status, status);
        EXPECT_NE(r.body.find("</html>"), std::string::npos);
        EXPECT_EQ(r.body.find(kAnchor), std::string::npos);
    }
    EXPECT_EQ(Probe(host.Url("/fault/nosuchmode/q?s=8058.t")).status, 404);
}

TEST_F(QuoteHostFaultTest, RedirectLeadsToTheNormalPage) {
    const ProbeResult r = Probe(host.Url("/fault/redirect/q?s=8058.t"));
    EXPECT_EQ(r.status, 302);
    EXPECT_EQ(r.location, host.Url("/q?s=8058.t"));
    EXPECT_EQ(Fields(FetchPage(host.Url("/fault/redirect/q?s=8058.t")))[0], Sj("東西精機"));

    const std::vector<HostRequest> log = host.Requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].target, "/fault/redirect/q?s=8058.t");
    EXPECT_EQ(log[2].target, "/q?s=8058.t");
    EXPECT_EQ(log[2].userAgent, kUserAgent);
}

TEST_F(QuoteHostFaultTest, RedirectLoopPointsAtItself) {
    const ProbeResult r = Probe(host.Url("/fault/redirectloop/q?s=8058.t&x=1"));
    EXPECT_EQ(r.status, 302);
    EXPECT_EQ(r.location, host.Url("/fault/redirectloop/q?s=8058.t&x=1"));
}

TEST_F(QuoteHostFaultTest, EmptyAndGarbageBodies) {
    const ProbeResult empty = Probe(host.Url("/fault/empty/q?s=8058.t"));
    EXPECT_EQ(empty.status, 200);
    EXPECT_EQ(empty.contentLength, 0);
    EXPECT_TRUE(empty.body.empty());

    const ProbeResult garbage = Probe(host.Url("/fault/garbage/q?s=8058.t"));
    EXPECT_EQ(garbage.status, 200);
    EXPECT_EQ(garbage.body.size(), 4096u);
    EXPECT_EQ(garbage.body.find("<html"), std::string::npos);
    EXPECT_EQ(ExtractFields(garbage.body, DefaultPatterns()), "");
    std::size_t high = 0;
    for (const char c : garbage.body) high += static_cast<unsigned char>(c) >= 0x80 ? 1 : 0;
    EXPECT_GT(high, 1024u) << "does not look random";
}

// Pages with an awkward shape around an intact row.
TEST_F(QuoteHostFaultTest, ReshapedPagesKeepTheirRow) {
    struct Case {
        const char* mode;
        const char* symbol;
        std::function<void(const std::string& body)> check;
        bool rowWithinClientLimits;  // the client, reading at most 202 lines, still finds it
    };
    const Case cases[] = {
        {"longline", "8058.t",
         [](const std::string& body) {
             std::size_t longest = 0, start = 0;
             const std::string head = BeforeAnchor(body);
             for (std::size_t nl; (nl = head.find('\n', start)) != std::string::npos;
                  start = nl + 1) {
                 longest = std::max(longest, nl - start);
             }
             EXPECT_GT(longest, 1023u);
         },
         true},
        {"manylines", "8058.q",
         [](const std::string& body) { EXPECT_GT(CountOf(BeforeAnchor(body), '\n'), 202u); },
         false},
        {"crlf", "8058.q",
         [](const std::string& body) {
             EXPECT_GT(CountOf(body, '\n'), 20u);
             EXPECT_EQ(CountOf(body, '\r'), CountOf(body, '\n'));
             for (std::size_t i = body.find('\n'); i != std::string::npos;
                  i = body.find('\n', i + 1)) {
                 ASSERT_EQ(body[i - 1], '\r');
             }
         },
         true},
        {"nul", "8058.t",
         [](const std::string& body) {
             const std::string head = BeforeAnchor(body);
             EXPECT_NE(head.find('\0'), std::string::npos);
             EXPECT_NE(head.find('\xFF'), std::string::npos);
         },
         true},
        {"lowershiftjis", "8051.q",
         [](const std::string& body) {
             EXPECT_NE(body.find("charset=shift_jis"), std::string::npos);
             EXPECT_FALSE(Contains(body, "Shift_JIS"));
             EXPECT_NE(body.find("<font color=red>-"), std::string::npos);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::string path = std::string("/fault/") + c.mode + "/q?s=" + c.symbol;
        const ProbeResult r = Probe(host.Url(path));
        EXPECT_EQ(r.status, 200);
        c.check(r.body);
        const QuoteFields whole = Fields(r.body);
        EXPECT_FALSE(whole[2].empty()) << "row lost";
        const QuoteFields client = Fields(FetchPage(host.Url(path)));
        EXPECT_EQ(client[0].empty(), !c.rowWithinClientLimits);
    }
    // The lower-case declaration does not count as Shift_JIS: the name is EUC-JP bytes.
    const QuoteFields f = Fields(Probe(host.Url("/fault/lowershiftjis/q?s=8058.t")).body);
    EXPECT_EQ(f[0], Sj("東西精機"));
}

TEST_F(QuoteHostFaultTest, ResetCutsTheConnectionAfterPartOfThePage) {
    const std::string target = "/fault/reset/q?s=8058.t";
    const ProbeResult r = Probe(host.Url(target));
    EXPECT_EQ(r.code, CURLE_RECV_ERROR);
    EXPECT_EQ(r.status, 200);
    EXPECT_GT(r.body.size(), 0u);
    EXPECT_LT(static_cast<curl_off_t>(r.body.size()), r.contentLength);
    EXPECT_EQ(r.body.rfind("<html>", 0), 0u);

    const auto logged = LoggedRequest(target);
    ASSERT_TRUE(logged.has_value());
    EXPECT_FALSE(logged->completed);
    EXPECT_EQ(logged->bytesSent, static_cast<long long>(r.body.size()));
}

TEST_F(QuoteHostFaultTest, StallSendsPartThenNothingUntilTheClientLeaves) {
    const std::string target = "/fault/stall/q?s=1001.q";
    ProbeOptions o;
    o.timeoutMs = 1500;
    const ProbeResult r = Probe(host.Url(target), o);
    EXPECT_EQ(r.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_GT(r.body.size(), 0u);
    EXPECT_LT(static_cast<curl_off_t>(r.body.size()), r.contentLength);

    // The host notices the client went away and ends the request long before its bound.
    const auto logged = LoggedRequest(target, 10'000);
    ASSERT_TRUE(logged.has_value());
    EXPECT_FALSE(logged->completed);
    EXPECT_EQ(logged->bytesSent, static_cast<long long>(r.body.size()));
}

TEST_F(QuoteHostFaultTest, TrickleDeliversTheWholePageInManySmallPieces) {
    const std::string target = "/fault/trickle/q?s=998405";
    const ProbeResult r = Probe(host.Url(target));
    ASSERT_EQ(r.code, CURLE_OK);
    EXPECT_GE(r.deliveries, 5);
    EXPECT_EQ(static_cast<curl_off_t>(r.body.size()), r.contentLength);
    EXPECT_EQ(Fields(r.body)[0], "TOPIX");

    const auto logged = LoggedRequest(target);
    ASSERT_TRUE(logged.has_value());
    EXPECT_TRUE(logged->completed);
    EXPECT_EQ(logged->bytesSent, static_cast<long long>(r.body.size()));
}

TEST_F(QuoteHostFaultTest, HugePageIsNotReadToTheEndByTheClient) {
    constexpr long long kFiller = 64LL << 20;
    ProbeOptions o;
    o.maxBytes = 256 << 10;
    const ProbeResult head = Probe(host.Url("/fault/huge/q?s=8058.t&probe=1"), o);
    EXPECT_EQ(head.code, CURLE_WRITE_ERROR);  // we stopped it
    EXPECT_GT(head.contentLength, kFiller);
    EXPECT_EQ(head.body.find(kAnchor), std::string::npos);
    EXPECT_NE(head.body.find("<!-- filler"), std::string::npos);

    const std::string target = "/fault/huge/q?s=8058.t";
    EXPECT_EQ(ExtractFields(FetchPage(host.Url(target)), DefaultPatterns()), "");
    const auto logged = LoggedRequest(target);
    ASSERT_TRUE(logged.has_value());
    EXPECT_FALSE(logged->completed);
    EXPECT_GT(logged->bytesSent, 0);
    EXPECT_LT(logged->bytesSent, kFiller / 2);
}

TEST_F(QuoteHostFaultTest, DelayHoldsTheAnswer) {
    ProbeOptions quick;
    quick.timeoutMs = 300;
    EXPECT_EQ(Probe(host.Url("/q?s=8058.t&delay=3000"), quick).code, CURLE_OPERATION_TIMEDOUT);

    const ProbeResult r = Probe(host.Url("/q?s=8058.t&delay=250"));
    EXPECT_EQ(r.code, CURLE_OK);
    EXPECT_GE(r.elapsedMs, 250);
    EXPECT_EQ(Fields(r.body)[0], Sj("東西精機"));
}

}  // namespace
}  // namespace tickora::test
