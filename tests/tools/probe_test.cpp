// tickora-probe as a user runs it: against the loopback quote host and pages saved on disk.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "common/codepage.h"
#include "pages.h"
#include "quote_host.h"
#include "quotes/fetch.h"
#include "reading/figure_match.h"
#include "temp_dir.h"

namespace tickora::test {
namespace {

struct Ran {
    int status = -1;
    std::string out;  // standard output, then standard error
};

class ProbeTest : public ::testing::Test {
  protected:
    // Runs the probe in the test's folder, for at most 60 s; no argument holds a "'".
    Ran Probe(const std::vector<std::string>& args) {
        std::string line = "cd '" + dir.path().string() + "' && timeout 60 '" TICKORA_PROBE_BIN "'";
        for (const std::string& a : args) line += " '" + a + "'";
        const int status = std::system((line + " >out 2>&1").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("out")};
    }

    // A page of the host saved on disk, as a user saves one from the browser.
    std::string Save(const std::string& name, const std::string& path) {
        dir.Write(name, FetchPage(host.Url(path)).bytes);
        return dir.file(name);
    }

    QuoteHost host;
    TempDir dir;
};

bool Has(const std::string& text, const std::string& needle) {
    return text.find(needle) != std::string::npos;
}

// The six texts of a modern-layout page, read by their class names as a user reads them, as
// "A|B|..." for --suggest and as the probe's result lines.
std::pair<std::string, std::string> Values(const std::string& page) {
    const char* keys[] = {"name", "time", "price", "change", "ratio", "volume"};
    const char* classes[] = {"quote-name\">",   "quote-time\">",      "price-value\">",
                             "change-value\">", "change-ratio\">\\(", "stat-volume\">"};
    std::string joined, lines;
    for (int i = 0; i < 6; ++i) {
        std::smatch m;
        EXPECT_TRUE(std::regex_search(page, m, std::regex(std::string(classes[i]) + "([^)<]*)")));
        joined += (i ? "|" : "") + m[1].str();
        lines += std::string(keys[i]) + "=" + m[1].str() + "\n";
    }
    return {joined, lines};
}

// Each result line of the probe reads as a person reads the figure on the page.
void ExpectReadsAsShown(const std::string& out, const quotehost::ShownQuote& shown) {
    for (int f = 0; f < kFigureCount; ++f) {
        std::smatch m;
        const std::string key = std::string("\n") + FigureName(f) + "=([^\n]*)\n";
        ASSERT_TRUE(std::regex_search(out, m, std::regex(key))) << out;
        EXPECT_TRUE(ReadsAsTyped(KindOf(f), shown.plain[f], m[1].str())) << m[1].str();
    }
}

TEST_F(ProbeTest, SuggestedRulesAndPatternsReadAnotherStockOfTheSameLayout) {
    // At the second moment the stock's ratio equals that of the first entry of the page's
    // ranking, which stands before the quote: where it comes first is no reason to take it.
    for (const quotehost::MarketClock& clock : {kHostClock, kRatioMeetsRankingClock}) {
        SCOPED_TRACE(clock.minute);
        QuoteHost at(clock);
        const std::string ini = dir.file("base_data.ini");
        dir.Write("base_data.ini",
                  Utf8ToCp932("[LINK_JOUHOU]\r\nBASE_URL=" + at.Url("/v2/q?s=銘柄.市場") + "\r\n"));
        dir.Write("8058.html", FetchPage(at.Url("/v2/q?s=8058.t")).bytes);
        const Ran suggested = Probe({"--ini", ini, "--page", "8058.html", "--suggest",
                                     Values(dir.Read("8058.html")).first, "--write"});
        ASSERT_EQ(suggested.status, 0) << suggested.out;
        // Learnt from a second stock too, whose figures are given as typed.
        std::string typed7203;
        for (const std::string& v : quotehost::ModernShown("7203.t", clock).plain)
            typed7203 += (typed7203.empty() ? "" : "|") + v;
        const Ran also = Probe({"--ini", ini, "--page", "8058.html", "--suggest",
                                Values(dir.Read("8058.html")).first, "--also", "7203", typed7203});
        EXPECT_EQ(also.status, 0) << also.out;
        EXPECT_TRUE(Has(also.out, "; also    " + at.Url("/v2/q?s=7203.t") + "\n")) << also.out;
        for (const char* line : {"; read as UTF-8, converted to code page 932\n",
                                 "\nkey=[key]_<div class=\"quote-board-head\">\n",
                                 "\nsawariai=[差割合]_<span class=\"change-ratio\">(_)</span>\n",
                                 "; genzaiti: anchored on class, 1 element matched\n"})
            EXPECT_TRUE(Has(suggested.out, line)) << suggested.out;

        // Another stock, falling where the first rose, its name of another length, by the rules
        // written, then by the patterns alone.
        dir.Write("7203.html", FetchPage(at.Url("/v2/q?s=7203.t")).bytes);
        const Ran byRules = Probe({"--ini", ini, "--page", "7203.html"});
        EXPECT_EQ(byRules.status, 0) << byRules.out;
        ExpectReadsAsShown(byRules.out, quotehost::ModernShown("7203.t", clock));
        std::string patterns = "[LINK_JOUHOU]\r\n";
        std::istringstream lines(suggested.out);
        for (std::string line; std::getline(lines, line);)
            if (std::regex_match(line, std::regex("(key|meigaramei|time|genzaiti|zenjitusa|"
                                                  "sawariai|dekidaka)=\\[.*")))
                patterns += Utf8ToCp932(line) + "\r\n";
        dir.Write("patterns.ini", patterns);
        const Ran cut = Probe({"--ini", dir.file("patterns.ini"), "--page", "7203.html"});
        EXPECT_TRUE(Has(cut.out, Values(dir.Read("7203.html")).second + "mark=▼ \n")) << cut.out;
        // Through the settings' BASE_URL, which the written file kept: a stock, and an index by
        // the rule that cuts the URL's last five bytes.
        const Ran byCode = Probe({"--ini", ini, "7203", "東証"});
        EXPECT_EQ(byCode.status, 0) << byCode.out;
        ExpectReadsAsShown(byCode.out, quotehost::ModernShown("7203.t", clock));
        const Ran index = Probe({"--ini", ini, "998407"});
        EXPECT_EQ(index.status, 0) << index.out;
        EXPECT_TRUE(Has(index.out, "\nname=日経平均\n")) << index.out;
    }
}

TEST_F(ProbeTest, SuggestSaysWhyNoPatternsExist) {
    const std::string head = "<meta charset=\"utf-8\">\n<div class=\"board\">\n";
    const std::string row =
        "<h1 class=\"n\">NAME</h1><span class=\"t\">15:00</span><span class=\"p\">1,234</span>"
        "<span class=\"c\">+12</span><span class=\"r\">+0.98%</span><span class=\"v\">5,000</span>"
        "\n</div>\n";
    const std::string values = "NAME|15:00|1,234|+12|+0.98%|5,000";
    const auto changed = [&](const std::string& from, const std::string& to) {
        return head + std::regex_replace(row, std::regex(from), to);
    };
    std::string filler;
    for (int i = 0; i < 250; ++i) filler += "<p>filler</p>\n";
    const struct {
        std::string page, values, why;
        bool rules;  // page rules read the page all the same
    } cases[] = {
        {head + row, values, "", true},  // the page that works
        {head + row, "NAME|15:01|1,234|+12|+0.98%|5,000",
         "the time text \"15:01\" is not found in the page", false},
        {head + filler + row, values, "the name text \"NAME\" is found only past the 202nd piece",
         true},
        // A time and a price typed in each other's field are of the wrong kind for rules.
        {head + row, "NAME|1,234|15:00|+12|+0.98%|5,000",
         "values out of order: the price text \"15:00\" does not stand after the time text", false},
        {changed("\"p\">", "\"p\">_"), values, "follows a '_', and a field's prefix cannot", true},
        // An earlier '_' before it changes nothing: the nearest one bounds the prefix.
        {changed("\"p\">", "\"p_q\">_"), values, "follows a '_', and a field's prefix cannot",
         true},
        {changed("5,000<", "5,000\n<"), values, "a line end follows the volume text", true},
        {head + row, "NAME||1,234|+12|+0.98%|5,000", "the time text is empty", true},
    };
    for (const auto& c : cases) {
        dir.Write("page.html", c.page);
        const Ran r = Probe({"--page", "page.html", "--suggest", c.values});
        EXPECT_EQ(r.status, c.why.empty() || c.rules ? 0 : 1) << c.why;
        EXPECT_TRUE(Has(r.out, c.why.empty() ? "\nkey=" : "; no patterns: ")) << r.out;
        EXPECT_TRUE(Has(r.out, c.why)) << r.out;
        EXPECT_EQ(Has(r.out, "\ngenzaiti=//span[@class="), c.rules) << r.out;
    }
}

TEST_F(ProbeTest, ReportsWhereEachPatternWasFoundAndWhyItFailed) {
    // The built-in patterns on the host's own page: every field found, with its place shown.
    const Ran ok = Probe({"--page", host.Url("/q?s=8058.t")});
    EXPECT_EQ(ok.status, 0) << ok.out;
    for (const char* text : {"; status  200\n; charset Shift_JIS (<meta> in the page); read as "
                             "Shift_JIS\n",
                             "[[<small>]]", "\nmark=△ \n"})
        EXPECT_TRUE(Has(ok.out, text)) << ok.out;

    // The row stands past the 202nd piece: the anchor is reported where it is.
    const std::string manyLines = host.Url("/fault/manylines/q?s=8058.t");
    const Ran far = Probe({"--page", manyLines});
    EXPECT_EQ(far.status, 1);
    for (const char* text : {"prefix \"</tr><tr align=right>\" not found after byte 0\n",
                             "past the last read piece (the read page ends at byte",
                             "the body goes on past the last read piece", "\nresult=empty\n"})
        EXPECT_TRUE(Has(far.out, text)) << far.out;

    // --find shows every place, also those the program never reads.
    const Ran found = Probe({"--page", manyLines, "--find", "nowrap><b>"});
    EXPECT_EQ(found.status, 0);
    EXPECT_TRUE(Has(found.out, "(past the last read piece): ")) << found.out;
    EXPECT_EQ(Probe({"--page", manyLines, "--find", "no such text"}).status, 1);

    // Usage and network errors.
    const ClosedPort closed;
    const Ran refused = Probe({"--page", closed.Url("/q?s=8058.t")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(Has(refused.out, "例外が発生しました。\r\nエラー: 7\r\n")) << refused.out;
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{}, Args{"8058", "NOWHERE"}, Args{"8058", "--suggest", "a|b"},
                             Args{"8058", "--write"}, Args{"8058", "--also", "7203", ""},
                             Args{"--page", "missing.html"}, Args{"--bogus"}})
        EXPECT_EQ(Probe(args).status, 2) << ::testing::PrintToString(args);
}

}  // namespace
}  // namespace tickora::test
