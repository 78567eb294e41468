// What the loopback quote host promises beyond what the client tests prove: which page kind
// each market gets, how the day's sign is chosen, and the site's other pages.

#include "quote_host.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include "common/codepage.h"
#include "links/link_templates.h"
#include "quotes/extract.h"
#include "quotes/fetch.h"

namespace tickora::test {
namespace {

struct Reply {
    long status = 0;
    std::string body, type;
};

// A raw GET: no redirect followed, nothing cut.
Reply Get(const std::string& url) {
    Reply r;
    CURL* c = curl_easy_init();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(
        c, CURLOPT_WRITEFUNCTION, +[](char* d, size_t s, size_t n, void* b) {
            static_cast<std::string*>(b)->append(d, s * n);
            return s * n;
        });
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &r.body);
    curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &r.status);
    char* type = nullptr;
    curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type);
    r.type = type ? type : "";
    curl_easy_cleanup(c);
    return r;
}

bool Has(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

TEST(QuoteHost, MarketsGetTheirPageKindAndCodesTheirSign) {
    QuoteHost host;
    const struct {
        const char* symbol;
        bool shiftJis;
        char sign;  // the code's last digit: 0 unchanged, odd falling, even rising
    } cases[] = {
        {"8058.t", true, '+'},  {"8058.o", true, '+'},  {"8058.n", true, '+'},
        {"8058.q", false, '+'}, {"8058.j", false, '+'}, {"8058.f", false, '+'},
        {"1001.s", false, '-'}, {"4321.t", true, '-'},  {"8050.q", false, '0'},
        {"998407", true, '-'},  {"998405", false, '-'}, {"23337", false, '-'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symbol);
        const std::string body = Get(host.Url("/q?s=") + c.symbol).body;
        EXPECT_EQ(Has(body, "charset=Shift_JIS"), c.shiftJis);
        EXPECT_EQ(Has(body, "Shift_JIS"), c.shiftJis);
        const QuoteFields f = SplitQuoteResult(ExtractFields(body, DefaultPatterns()));
        EXPECT_EQ(f[3][0], c.sign == '0' ? '0' : c.sign) << f[3];
        // Only EUC-JP pages mark a fall in red.
        EXPECT_EQ(Has(body, "<font color=red>"), c.sign == '-' && !c.shiftJis);
    }
    // A page of an unknown code has no quote row, and an echoed code cannot mark it.
    for (const char* code : {"123", "abcd", "8058.x", "Shift_JIS.q"}) {
        const Reply r = Get(host.Url("/q?s=") + code);
        EXPECT_EQ(r.status, 200) << code;
        EXPECT_EQ(ExtractFields(r.body, DefaultPatterns()), "") << code;
        EXPECT_FALSE(Has(r.body, "Shift_JIS") && Has(code, ".q")) << code;
    }
}

TEST(QuoteHost, SitePagesAndTheChart) {
    QuoteHost host;
    const struct {
        const char* path;
        long status;
        const char* type;
        const char* mentions;  // UTF-8
    } cases[] = {
        {"/", 200, "text/html", "日経平均"},
        {"/bbs?action=topics&board=1008058&sid=1008058&type=r", 200, "text/html", "東西精機"},
        {"/index.cfm?scode=8058", 200, "text/html", "東西精機"},
        {"/no/such/page", 404, "text/html", ""},
        {"/c/1d/8/8058.t.gif", 200, "image/gif", "GIF89a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Reply r = Get(host.Url(c.path));
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.type.starts_with(c.type)) << r.type;
        EXPECT_TRUE(Has(r.body, Sj(c.mentions)));
    }
    // Every default link of the URL lists opens a page of the host.
    for (const auto* lines : {&DefaultStockLines(), &DefaultNikkeiLines()})
        for (const std::string& line : *lines) {
            const auto url =
                ExpandStockLink(SplitLinkLine(line)->url, DefaultSuffixes(), "8058", Sj("東証"));
            const std::string onHost =
                host.Url(url->substr(std::string_view("http://127.0.0.1:50505").size()));
            EXPECT_EQ(Get(WireUrl(onHost)).status, 200) << onHost;
        }
    // A listed symbol draws its day's line; an unlisted one gets the empty frame.
    const std::string chart = Get(host.Url("/c/1d/8/8058.t.gif")).body;
    EXPECT_TRUE(chart.ends_with('\x3B'));
    EXPECT_NE(chart, Get(host.Url("/c/1d/8/nothing.gif")).body);
}

}  // namespace
}  // namespace tickora::test
