#include <gtest/gtest.h>

#include "common/codepage.h"
#include "quotes/fetch.h"
#include "quotes/quote_url.h"

namespace tickora {
namespace {

TEST(ExpandQuoteUrl, Cases) {
    const std::string base = "http://h/q?s=" + Sj("銘柄.市場");
    SuffixTable s = DefaultSuffixes();
    s[3] = "tt";
    const struct {
        std::string base;
        std::string code;
        int market;
        std::string expected;
    } cases[] = {
        {base, "8058", 0, "http://h/q?s=8058.t"},
        {base, "8058", 3, "http://h/q?s=8058.tt"},
        {base, "998407", 0, "http://h/q?s=998407"},
        {base, "23337", 5, "http://h/q?s=23337"},
        {base, "805", 0, "http://h/q?s=805"},
        {base, "8058", -1, "http://h/q?s=8058."},
        {base, "8058", 7, "http://h/q?s=8058."},
        {"http://h/" + Sj("市場") + "/" + Sj("銘柄") + "/" + Sj("市場"), "1234", 6,
         "http://h/s/1234/s"},
        // Any other length loses the last 5 bytes, whatever they are.
        {"http://h/q?code=" + Sj("銘柄") + "&x=12345", "998405", 0, "http://h/q?code=998405&x="},
        {"abc", "12345", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandQuoteUrl(c.base, s, c.code, c.market), c.expected) << c.expected;
}

TEST(WireUrl, EncodesBytesOutsidePrintableAscii) {
    EXPECT_EQ(WireUrl("http://h/q?s=8058.t"), "http://h/q?s=8058.t");
    EXPECT_EQ(WireUrl("http://h/q?s=" + Sj("銘柄")), "http://h/q?s=%96%C1%95%BF");
    EXPECT_EQ(WireUrl("a b\tc\x7F"), "a%20b%09c%7F");
}

}  // namespace
}  // namespace tickora
