#include "quotes/fetch.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "common/codepage.h"
#include "quote_host.h"
#include "quotes/extract.h"

namespace tickora {
namespace {

class FetchTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { host_ = new test::QuoteHost(); }
    static void TearDownTestSuite() {
        delete host_;
        host_ = nullptr;
    }
    static test::QuoteHost& host() { return *host_; }

    static FetchOptions Quick() {
        FetchOptions o;
        o.connectTimeoutMs = 2000;
        o.stallSeconds = 1;
        o.totalSeconds = 20;
        return o;
    }
    static std::string ErrorHead(int code) {
        return Sj("例外が発生しました。\r\nエラー: ") + std::to_string(code) + "\r\n";
    }
    static bool StartsWith(const std::string& s, const std::string& head) {
        return s.compare(0, head.size(), head) == 0;
    }

  private:
    static test::QuoteHost* host_;
};
test::QuoteHost* FetchTest::host_ = nullptr;

TEST_F(FetchTest, QuotePagesOfBothKinds) {
    // Shift_JIS (東証) and EUC-JP (ＪＱ) pages, and an index page, all give six fields.
    for (const char* path :
         {"/q?s=8058.t", "/q?s=8058.q", "/q?s=998407", "/q?s=23337", "/fault/redirect/q?s=8058.t",
          "/fault/longline/q?s=8058.t", "/fault/crlf/q?s=8058.t", "/fault/nul/q?s=8058.t",
          "/fault/lowershiftjis/q?s=8058.q"}) {
        const std::string result = FetchQuote(host().Url(path), DefaultPatterns(), Quick());
        const QuoteFields f = SplitQuoteResult(result);
        ASSERT_FALSE(result.empty()) << path;
        EXPECT_FALSE(f[0].empty()) << path;
        EXPECT_EQ(f[1].size(), 5u) << path << " time " << f[1];
        EXPECT_GT(std::atoi(f[2].c_str()), 0) << path;
        // Signs come through clean on both page kinds: the minus rule strips the markup.
        EXPECT_EQ(f[3].find('<'), std::string::npos) << path << " " << f[3];
        EXPECT_EQ(f[4].find('<'), std::string::npos) << path << " " << f[4];
        // The name is valid CP932 text, whichever encoding the page had.
        EXPECT_EQ(Cp932ToUtf8(f[0]).find("\xEF\xBF\xBD"), std::string::npos) << path;
    }
    // The same company, fetched as an EUC-JP page and as a Shift_JIS page, has one name.
    const auto sj = SplitQuoteResult(FetchQuote(host().Url("/q?s=8058.t"), DefaultPatterns()));
    const auto euc = SplitQuoteResult(FetchQuote(host().Url("/q?s=8058.q"), DefaultPatterns()));
    EXPECT_EQ(sj[0], euc[0]);
}

TEST_F(FetchTest, PagesWithoutTheRowGiveTheEmptyResult) {
    for (const char* path :
         {"/fault/404/q?s=8058.t", "/fault/500/q?s=8058.t", "/fault/manylines/q?s=8058.t",
          "/fault/garbage/q?s=8058.t", "/fault/empty/q?s=8058.t", "/q?s=99", "/q?s=ABCD.t"}) {
        EXPECT_EQ(FetchQuote(host().Url(path), DefaultPatterns(), Quick()), "") << path;
    }
    // The status is not looked at: the 404 page's body is read like any page.
    EXPECT_NE(FetchPage(host().Url("/fault/404/q?s=8058.t"), Quick()).find("404"),
              std::string::npos);
}

TEST_F(FetchTest, BodyIsCutIntoPiecesAndStoppedAfter202) {
    const std::string crlf = FetchPage(host().Url("/fault/crlf/q?s=8058.t"), Quick());
    EXPECT_EQ(crlf.find('\r'), std::string::npos);
    EXPECT_NE(crlf.find('\n'), std::string::npos);

    // More than 202 lines before the row: exactly 202 pieces are kept.
    const std::string many = FetchPage(host().Url("/fault/manylines/q?s=8058.t"), Quick());
    EXPECT_EQ(std::count(many.begin(), many.end(), '\n'), 202);

    // A body of many megabytes is stopped after 202 pieces, long before its end.
    const auto before = host().Requests().size();
    const std::string huge = FetchPage(host().Url("/fault/huge/q?s=8058.t"), Quick());
    EXPECT_LE(huge.size(), 202u * 1023u);
    ASSERT_TRUE(host().WaitForRequests(before + 1, 5000));  // logged once the body ends
    const auto last = host().Requests().back();
    EXPECT_EQ(last.target, "/fault/huge/q?s=8058.t");
    EXPECT_FALSE(last.completed);
    EXPECT_LT(last.bytesSent, 32LL << 20);
}

TEST_F(FetchTest, TransportFailuresGiveTheErrorText) {
    const test::ClosedPort closed;
    const struct {
        const char* what;
        std::string url;
        int code;
    } cases[] = {
        {"closed port", closed.Url("/q?s=1"), CURLE_COULDNT_CONNECT},
        {"stall", host().Url("/fault/stall/q?s=8058.t"), CURLE_OPERATION_TIMEDOUT},
        {"reset mid-body", host().Url("/fault/reset/q?s=8058.t"), CURLE_RECV_ERROR},
        {"redirect loop", host().Url("/fault/redirectloop/q?s=8058.t"), CURLE_TOO_MANY_REDIRECTS},
        {"not http", "file:///etc/passwd", CURLE_UNSUPPORTED_PROTOCOL},
    };
    for (const auto& c : cases) {
        const std::string result = FetchQuote(c.url, DefaultPatterns(), Quick());
        EXPECT_TRUE(StartsWith(result, ErrorHead(c.code))) << c.what << ": " << Cp932ToUtf8(result);
        EXPECT_GT(result.size(), ErrorHead(c.code).size()) << c.what << ": message missing";
        EXPECT_EQ(SplitQuoteResult(result), QuoteFields{}) << c.what;
    }
}

TEST_F(FetchTest, ErrorTextLayout) {
    EXPECT_EQ(FormatFetchError(7, "Couldn't connect"), ErrorHead(7) + "Couldn't connect");
    EXPECT_EQ(FormatFetchError(-1, std::string(600, 'm')).size(), ErrorHead(-1).size() + 511);
    EXPECT_EQ(FormatFetchError(1, std::string("a\0b", 3)), ErrorHead(1) + "a");
}

TEST_F(FetchTest, CancelFromAnotherThread) {
    std::atomic<bool> cancel{false};
    FetchOptions o = Quick();
    o.stallSeconds = 3600;
    o.cancel = &cancel;
    const std::size_t before = host().Arrivals().size();
    std::thread canceller([&] {
        // Once the host holds the request, only the flag can end the fetch.
        if (host().WaitForArrivals(before + 1, 10000)) cancel = true;
    });
    const std::string result =
        FetchQuote(host().Url("/fault/stall/q?s=8058.t"), DefaultPatterns(), o);
    canceller.join();
    EXPECT_TRUE(StartsWith(result, ErrorHead(CURLE_ABORTED_BY_CALLBACK))) << Cp932ToUtf8(result);
}

TEST_F(FetchTest, RequestCarriesUserAgentAndEncodedUrl) {
    const auto before = host().Requests().size();
    FetchQuote(host().Url("/q?s=") + Sj("銘柄") + " x", DefaultPatterns(), Quick());
    ASSERT_TRUE(host().WaitForRequests(before + 1, 5000));
    // Requests are logged as they end, so look for this one among the newest.
    const auto log = host().Requests();
    const auto r = std::find_if(log.begin() + static_cast<long>(before), log.end(),
                                [](const auto& e) { return e.target.rfind("/q?s=%96", 0) == 0; });
    ASSERT_NE(r, log.end());
    EXPECT_EQ(r->method, "GET");
    EXPECT_EQ(r->userAgent, kUserAgent);
    EXPECT_EQ(r->target, "/q?s=%96%C1%95%BF%20x");
}

}  // namespace
}  // namespace tickora
