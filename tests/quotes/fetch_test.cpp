#include "quotes/fetch.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include "common/codepage.h"
#include "hung_lookup.h"
#include "quote_host.h"
#include "quotes/curl_api.h"
#include "reading/extract.h"
#include "reading/page_reader.h"
#include "temp_dir.h"

namespace tickora {
namespace {

constexpr FetchOptions kQuick{.connectTimeoutMs = 2000, .stallSeconds = 1, .totalSeconds = 20};

std::string ErrorHead(int code) {
    return Sj("例外が発生しました。\r\nエラー: ") + std::to_string(code) + "\r\n";
}

bool Has(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

TEST(FetchTest, QuotePagesOfBothKinds) {
    test::QuoteHost host;
    const std::string name =
        SplitQuoteResult(FetchQuote(host.Url("/q?s=8058.t"), DefaultPatterns()))[0];
    const auto check = [&](const std::string& path, bool shiftJis, char sign) {
        SCOPED_TRACE(path);
        const std::string page = FetchPage(host.Url(path), kQuick).bytes;
        const FigureTexts f = SplitQuoteResult(ExtractFields(page, DefaultPatterns()));
        EXPECT_EQ(Has(page, "Shift_JIS"), shiftJis);
        EXPECT_EQ(Has(page, "<font color=red>"), sign == '-' && !shiftJis);
        EXPECT_EQ(f[1].size(), 5u) << f[1];
        EXPECT_GT(std::atoi(f[2].c_str()), 0) << f[2];
        // The minus rule strips the red markup.
        EXPECT_EQ(f[3][0], sign) << f[3];
        EXPECT_FALSE(Has(f[3], "<") || Has(f[4], "<")) << f[3] << f[4];
        // The name is CP932 text whatever the page's encoding: one company, one name.
        EXPECT_FALSE(Has(Cp932ToUtf8(f[0]), "\xEF\xBF\xBD"));
        if (Has(path, "8058")) {
            EXPECT_EQ(f[0], name);
        }
    };
    // Markets t, o, n and the Nikkei average get Shift_JIS pages, the rest EUC-JP; a code's
    // last digit fixes the sign of its day (0 unchanged, odd falling, even rising).
    const struct {
        const char* symbol;
        bool shiftJis;
        char sign;
    } cases[] = {
        {"8058.t", true, '+'},  {"8058.o", true, '+'},  {"8058.n", true, '+'},
        {"8058.q", false, '+'}, {"8058.j", false, '+'}, {"8058.f", false, '+'},
        {"1001.s", false, '-'}, {"4321.t", true, '-'},  {"8050.q", false, '0'},
        {"998407", true, '-'},  {"998405", false, '-'}, {"23337", false, '-'},
    };
    for (const auto& c : cases) check(std::string("/q?s=") + c.symbol, c.shiftJis, c.sign);
    // A body that ends before its Content-Length is read as far as it came.
    for (const char* fault : {"redirect", "longline", "crlf", "nul", "short"})
        check(std::string("/fault/") + fault + "/q?s=8058.t", true, '+');
    check("/fault/lowershiftjis/q?s=8058.q", false, '+');
    // The fixture's clock stands still; under /move each answer steps from it.
    const auto quote = [&](const char* path) {
        return FetchQuote(host.Url(path), DefaultPatterns());
    };
    EXPECT_EQ(SplitQuoteResult(quote("/q?s=8058.t"))[1], "13:34");
    EXPECT_NE(quote("/move/q?s=8058.t"), quote("/move/q?s=8058.t"));
}

TEST(FetchTest, PagesWithoutTheRowGiveTheEmptyResult) {
    test::QuoteHost host;
    // The status is not looked at: the 404 page's body is read like any page.
    EXPECT_TRUE(Has(FetchPage(host.Url("/fault/404/q?s=8058.t"), kQuick).bytes, "404"));
    const std::string odd = Sj("銘柄") + " x\x7F";  // sent percent-encoded
    for (const std::string code : {odd.c_str(), "123", "ABCD.t", "8058.x", "Shift_JIS.q"})
        EXPECT_EQ(FetchQuote(host.Url("/q?s=" + code), DefaultPatterns(), kQuick), "") << code;
    // The huge body's row comes after 64 MiB, long after the fetch stopped at 202 pieces.
    for (const char* fault : {"404", "500", "manylines", "garbage", "empty", "huge"}) {
        const std::string url = host.Url(std::string("/fault/") + fault + "/q?s=8058.t");
        EXPECT_EQ(FetchQuote(url, DefaultPatterns(), kQuick), "") << fault;
    }
    ASSERT_TRUE(host.WaitForRequests(12, 5000));  // the huge body is logged once it ends
    const std::vector<test::HostRequest> log = host.Requests();
    EXPECT_EQ(log[1].target, "/q?s=%96%C1%95%BF%20x%7F");
    for (const test::HostRequest& r : log)
        EXPECT_EQ(r.method + " " + r.userAgent, "GET " + std::string(kUserAgent));
    EXPECT_EQ(log.back().target, "/fault/huge/q?s=8058.t");
    EXPECT_FALSE(log.back().completed);
    EXPECT_LT(log.back().bytesSent, 32LL << 20);
}

TEST(FetchTest, TransportFailuresGiveTheErrorText) {
    test::QuoteHost host;
    const test::ClosedPort closed;
    const struct {
        const char* what;
        std::string url;
        int code;
    } cases[] = {
        {"closed port", closed.Url("/q?s=1"), CURLE_COULDNT_CONNECT},
        {"stall", host.Url("/fault/stall/q?s=8058.t"), CURLE_OPERATION_TIMEDOUT},
        {"reset mid-body", host.Url("/fault/reset/q?s=8058.t"), CURLE_RECV_ERROR},
        {"redirect loop", host.Url("/fault/redirectloop/q?s=8058.t"), CURLE_TOO_MANY_REDIRECTS},
        {"not http", "file:///etc/passwd", CURLE_UNSUPPORTED_PROTOCOL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string result = FetchQuote(c.url, DefaultPatterns(), kQuick);
        EXPECT_TRUE(result.starts_with(ErrorHead(c.code))) << Cp932ToUtf8(result);
        EXPECT_GT(result.size(), ErrorHead(c.code).size()) << "message missing";
        EXPECT_EQ(SplitQuoteResult(result), FigureTexts{});
    }
    // Without libcurl there is nothing to fetch with, and the reason names what is missing.
    std::string why;
    EXPECT_FALSE(OpenCurl("libtickora-missing.so.9", why));
    EXPECT_TRUE(Has(why, "libtickora-missing.so.9")) << why;
    // The message is cut at 511 bytes and at a zero byte.
    EXPECT_EQ(FormatFetchError(-1, std::string(600, 'm')).size(), ErrorHead(-1).size() + 511);
    EXPECT_EQ(FormatFetchError(1, std::string("a\0b", 3)), ErrorHead(1) + "a");
}

// The whole body, fetched without Accept-Encoding as a fetch for the patterns is.
std::string PlainBody(const std::string& url) {
    std::string body;
    BodySink sink;
    sink.onBody = [&](std::string_view bytes) {
        body += bytes;
        return true;
    };
    FetchBody(url, kQuick, sink);
    return body;
}

TEST(FetchTest, PagesForRulesComeCompressedAndDecodeToThePlainPage) {
    test::QuoteHost host;
    const char* paths[] = {"/v2/q?s=7203.t", "/v3/table/q?s=998407", "/v3/module/q?s=8058.t",
                           "/v3/script/q?s=4611.q"};
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        // One thread, one easy handle: each kind of fetch follows the other on it. The market
        // moves each minute, so the decoded copy is the plain one before or the one after it.
        const std::string before = PlainBody(host.Url(path));
        const RawPage packed = FetchRawPage(host.Url(path), kQuick);
        const FetchedPage lines = FetchPage(host.Url(path), kQuick);
        const std::string after = PlainBody(host.Url(path));
        EXPECT_TRUE(packed.bytes == before || packed.bytes == after);
        EXPECT_TRUE(before.starts_with(lines.bytes) || after.starts_with(lines.bytes));
        EXPECT_EQ(packed.response.contentType, "text/html; charset=utf-8");
    }
    // What the host was offered and what it sent, for each of the four fetches in turn.
    const struct {
        bool offered;
        const char* coding;
    } expected[] = {{false, ""}, {true, "gzip"}, {false, ""}, {false, ""}};
    ASSERT_TRUE(host.WaitForRequests(4 * std::size(paths), 5000));
    const std::vector<test::HostRequest> log = host.Requests();
    for (std::size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(log[i].target + " #" + std::to_string(i % 4));
        const auto& e = expected[i % 4];
        EXPECT_EQ(log[i].contentEncoding, e.coding);
        if (e.offered) {
            EXPECT_TRUE(Has(log[i].acceptEncoding, "gzip")) << log[i].acceptEncoding;
            EXPECT_LT(log[i].bytesSent * 2, log[i - 1].bytesSent);
        } else {
            EXPECT_EQ(log[i].acceptEncoding, "");
        }
    }
}

TEST(FetchTest, ADecompressionBombStopsAtTheBoundOfEitherReading) {
    test::QuoteHost host;
    const std::string path = "/v3/table/q?s=8058.t", bomb = host.Url("/fault/bomb" + path);
    FigureTexts rules;
    rules[kPriceFigure] = "//td[@class='price']";
    const PageReading byRules(DefaultPatternTexts(), rules);
    // The rule reads the plain page; the bomb's row lies 4 GiB down.
    EXPECT_NE(FetchQuote(host.Url(path), byRules, kQuick), "");
    // Decoded, up to the bound: the page's head, then spaces.
    const RawPage raw = FetchRawPage(bomb, kQuick);
    EXPECT_EQ(raw.bytes.size(), kMaxRulePageBytes);
    EXPECT_TRUE(raw.bytes.starts_with("<!DOCTYPE html>"));
    EXPECT_EQ(raw.bytes.back(), ' ');
    // Not asked for, so not decoded: the reader's 202 pieces bound the gzip bytes themselves.
    const FetchedPage page = FetchPage(bomb, kQuick);
    EXPECT_TRUE(page.bytes.starts_with("\x1F\x8B"));
    EXPECT_LE(page.bodyBytes, PageReader::kMaxPieces * PageReader::kMaxPieceBytes);
    EXPECT_EQ(FetchQuote(bomb, byRules, kQuick), "");
    EXPECT_EQ(FetchQuote(bomb, DefaultPatterns(), kQuick), "");
    // Every fetch left off within the first of the body's 4 MB.
    ASSERT_TRUE(host.WaitForRequests(5, 5000));
    const std::vector<test::HostRequest> log = host.Requests();
    for (std::size_t i = 1; i < log.size(); ++i) {
        EXPECT_EQ(log[i].contentEncoding, "gzip");
        EXPECT_FALSE(log[i].completed);
        EXPECT_LT(log[i].bytesSent, 1LL << 20);
    }
}

TEST(FetchLookup, ANameThatNeverResolvesHoldsOneLookupNotOnePerFetch) {
    const FetchOptions quick{.connectTimeoutMs = 300, .stallSeconds = 5, .totalSeconds = 5};
    const std::string url = "http://quotes.fetch.hang.test/q?s=8058.t";
    // The first fetch gives up on its lookup, which goes on.
    EXPECT_TRUE(
        FetchQuote(url, DefaultPatterns(), quick).starts_with(ErrorHead(CURLE_OPERATION_TIMEDOUT)));
    // libcurl's lookup, and the one that watches for the name's return.
    ASSERT_TRUE(test::WaitForHungLookups(2, 10000));
    const auto threads = test::EntriesIn("/proc/self/task"), fds = test::EntriesIn("/proc/self/fd");
    for (int i = 0; i < 20; ++i) {
        const std::string result = FetchQuote(url, DefaultPatterns(), quick);
        ASSERT_TRUE(result.starts_with(ErrorHead(CURLE_COULDNT_RESOLVE_HOST)))
            << Cp932ToUtf8(result);
        EXPECT_TRUE(Has(result, "quotes.fetch.hang.test has not returned yet"))
            << Cp932ToUtf8(result);
    }
    EXPECT_EQ(test::HungLookups(), 2);
    EXPECT_EQ(test::EntriesIn("/proc/self/task"), threads);
    EXPECT_EQ(test::EntriesIn("/proc/self/fd"), fds);
    test::ReleaseHungLookups();
}

}  // namespace
}  // namespace tickora
