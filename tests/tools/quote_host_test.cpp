// What the loopback quote host promises beyond what the client tests prove (the fetch tests
// check the page kind and sign of every market's quote page): the pages a browser opens.

#include "quote_host.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/endpoints.h"
#include "links/link_templates.h"
#include "quotes/fetch.h"

namespace tickora::test {
namespace {

struct Reply {
    long status = 0;
    std::string body;
};

// A raw GET: no redirect followed, nothing cut.
Reply Get(const std::string& url) {
    Reply r;
    CURL* c = curl_easy_init();
    curl_easy_setopt(c, CURLOPT_URL, WireUrl(url).c_str());
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
    curl_easy_cleanup(c);
    return r;
}

TEST(QuoteHost, DefaultLinksOpenPagesAboutTheirStockAndTheChartIsDrawn) {
    QuoteHost host;
    for (const auto& [lines, about] :
         {std::pair{&DefaultStockLines(), "東西精機"}, {&DefaultNikkeiLines(), "日経平均"}})
        for (const std::string& line : *lines) {
            const auto url =
                ExpandStockLink(SplitLinkLine(line)->url, DefaultSuffixes(), "8058", Sj("東証"));
            SCOPED_TRACE(*url);
            const Reply r =
                Get(host.Url(url->substr(std::string_view(endpoints::kQuoteHost).size())));
            EXPECT_EQ(r.status, 200);
            EXPECT_NE(r.body.find(Sj(about)), std::string::npos);
        }
    EXPECT_EQ(Get(host.Url("/no/such/page")).status, 404);
    // A listed symbol draws its day's line; an unlisted one gets the empty frame.
    const std::string chart = Get(host.Url("/c/1d/8/8058.t.gif")).body;
    EXPECT_TRUE(chart.starts_with("GIF89a") && chart.ends_with('\x3B'));
    EXPECT_NE(chart, Get(host.Url("/c/1d/8/nothing.gif")).body);
}

}  // namespace
}  // namespace tickora::test
