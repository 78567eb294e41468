// tickora-probe as a user runs it: against the loopback quote host and pages saved on disk.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

#include "common/codepage.h"
#include "quote_host.h"
#include "quotes/fetch.h"
#include "temp_dir.h"

namespace tickora::test {
namespace {

struct Ran {
    int status = -1;
    std::string out, err;
};

class ProbeTest : public ::testing::Test {
  protected:
    // Runs the probe in the test's folder; it is killed if it has not ended within 60 s.
    Ran Probe(std::vector<std::string> args) {
        args.insert(args.begin(), TICKORA_PROBE_BIN);
        const std::string out = dir.file("out"), err = dir.file("err");
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
            dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
            if (chdir(dir.path().c_str()) != 0) _exit(126);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 10) {
            if (waited > 60'000) kill(pid, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Ran r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("out"), dir.Read("err")};
        return r;
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

std::string ReplaceRow(std::string row, const std::string& from, const std::string& to) {
    return row.replace(row.find(from), from.size(), to);
}

// The six texts of a modern-layout page, read by their class names: what a user sees.
std::string Values(const std::string& page) {
    std::string values;
    for (const char* cls : {"quote-name", "quote-time", "price-value", "change-value",
                            "change-ratio\">\\(", "stat-volume"}) {
        std::smatch m;
        const std::string tail = Has(cls, "(") ? "([^)<]*)" : "\">([^<]*)";
        EXPECT_TRUE(std::regex_search(page, m, std::regex(std::string(cls) + tail))) << cls;
        values += (values.empty() ? "" : "|") + m[1].str();
    }
    return values;
}

// name=... volume= lines for the six texts, as the probe prints a result.
std::string ResultLines(const std::string& values) {
    const char* keys[] = {"name", "time", "price", "change", "ratio", "volume"};
    std::string lines;
    std::size_t start = 0;
    for (const char* key : keys) {
        const std::size_t bar = values.find('|', start);
        lines += std::string(key) + "=" + values.substr(start, bar - start) + "\n";
        start = bar + 1;
    }
    return lines;
}

TEST_F(ProbeTest, SuggestedPatternsCutAnotherStockOfTheSameLayout) {
    const std::string ini = dir.file("base_data.ini");
    dir.Write("base_data.ini",
              Utf8ToCp932("[LINK_JOUHOU]\r\nBASE_URL=" + host.Url("/v2/q?s=銘柄.市場") + "\r\n"));
    const std::string rising = Save("8058.html", "/v2/q?s=8058.t");
    const Ran suggested = Probe(
        {"--ini", ini, "--page", rising, "--suggest", Values(dir.Read("8058.html")), "--write"});
    ASSERT_EQ(suggested.status, 0) << suggested.out << suggested.err;
    EXPECT_TRUE(Has(suggested.out, "\nkey=[key]_<div class=\"quote-board-head\">\n"))
        << suggested.out;
    EXPECT_TRUE(Has(suggested.out, "\nsawariai=[差割合]_<span class=\"change-ratio\">(_)</span>\n"))
        << suggested.out;
    EXPECT_TRUE(Has(suggested.out, "; read as UTF-8, converted to code page 932"));

    // Another stock, falling where the first rose, its name of another length.
    const std::string falling = Save("7203.html", "/v2/q?s=7203.t");
    const std::string values = Values(dir.Read("7203.html"));
    const Ran cut = Probe({"--ini", ini, "--page", falling});
    EXPECT_EQ(cut.status, 0) << cut.out << cut.err;
    EXPECT_TRUE(Has(cut.out, ResultLines(values) + "mark=▼ \n")) << cut.out;

    // The same through the settings' BASE_URL, and an index through the last-five-bytes rule;
    // the file kept BASE_URL beside the written patterns.
    const Ran byCode = Probe({"--ini", ini, "7203", "東証"});
    EXPECT_EQ(byCode.status, 0) << byCode.out << byCode.err;
    EXPECT_TRUE(Has(byCode.out, "; url     " + host.Url("/v2/q?s=7203.t") + "\n"));
    EXPECT_TRUE(Has(byCode.out, "\n" + ResultLines(values).substr(0, values.find('|') + 6)));
    const Ran index = Probe({"--ini", ini, "998407"});
    EXPECT_EQ(index.status, 0) << index.out;
    EXPECT_TRUE(Has(index.out, "\nname=日経平均\n")) << index.out;
}

TEST_F(ProbeTest, SuggestSaysWhyNoPatternsExist) {
    const std::string head = "<meta charset=\"utf-8\">\n<div class=\"board\">\n";
    const std::string row =
        "<h1 class=\"n\">NAME</h1><span class=\"t\">15:00</span><span class=\"p\">1,234</span>"
        "<span class=\"c\">+12</span><span class=\"r\">+0.98%</span><span class=\"v\">5,000</span>"
        "\n</div>\n";
    std::string filler;
    for (int i = 0; i < 250; ++i) filler += "<p>filler</p>\n";
    const struct {
        const char* what;
        std::string page, values, why;
    } cases[] = {
        {"a value not on the page", head + row, "NAME|15:01|1,234|+12|+0.98%|5,000",
         "the time text \"15:01\" is not found in the page"},
        {"past the 202nd piece", head + filler + row, "NAME|15:00|1,234|+12|+0.98%|5,000",
         "the name text \"NAME\" is found only past the 202nd piece"},
        {"out of order", head + row, "NAME|1,234|15:00|+12|+0.98%|5,000",
         "values out of order: the price text \"15:00\" does not stand after the time text"},
        {"a prefix would need '_'", head + ReplaceRow(row, "\"p\">", "\"p\">_"),
         "NAME|15:00|1,234|+12|+0.98%|5,000", "follows a '_', and a field's prefix cannot"},
        {"a line end after the value", head + ReplaceRow(row, "5,000<", "5,000\n<"),
         "NAME|15:00|1,234|+12|+0.98%|5,000", "a line end follows the volume text"},
        {"an empty value", head + row, "NAME||1,234|+12|+0.98%|5,000", "the time text is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("page.html", c.page);
        const Ran r = Probe({"--page", "page.html", "--suggest", c.values});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Has(r.out, "; no patterns: ")) << r.out;
        EXPECT_TRUE(Has(r.out, c.why)) << r.out;
    }
    // The working page itself gives patterns, which only the probe's own check could refuse.
    dir.Write("page.html", head + row);
    EXPECT_EQ(
        Probe({"--page", "page.html", "--suggest", "NAME|15:00|1,234|+12|+0.98%|5,000"}).status, 0);
}

TEST_F(ProbeTest, ReportsWhereEachPatternWasFoundAndWhyItFailed) {
    // The built-in patterns on the host's own page: every field found, with its place shown.
    const Ran ok = Probe({"--page", host.Url("/q?s=8058.t")});
    EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
    EXPECT_TRUE(Has(ok.out,
                    "; status  200\n; charset Shift_JIS (<meta> in the page); read as "
                    "Shift_JIS\n"))
        << ok.out;
    EXPECT_TRUE(Has(ok.out, "[[<small>]]")) << ok.out;
    EXPECT_TRUE(Has(ok.out, "\nmark=△ \n")) << ok.out;

    // The row stands past the 202nd piece: the anchor is reported where it is.
    const Ran far = Probe({"--page", host.Url("/fault/manylines/q?s=8058.t")});
    EXPECT_EQ(far.status, 1);
    EXPECT_TRUE(Has(far.out, "prefix \"</tr><tr align=right>\" not found after byte 0\n"))
        << far.out;
    EXPECT_TRUE(Has(far.out, "past the last read piece")) << far.out;
    EXPECT_TRUE(Has(far.out, "the body goes on past the last read piece")) << far.out;
    EXPECT_TRUE(Has(far.out, "\nresult=empty\n")) << far.out;

    // --find shows every place, also those the program never reads.
    const std::string saved = Save("far.html", "/fault/manylines/q?s=8058.t");
    const Ran found =
        Probe({"--page", host.Url("/fault/manylines/q?s=8058.t"), "--find", "nowrap><b>"});
    EXPECT_EQ(found.status, 0);
    EXPECT_TRUE(Has(found.out, "(past the last read piece): ")) << found.out;
    EXPECT_EQ(Probe({"--page", saved, "--find", "no such text"}).status, 1);

    // Usage and network errors.
    const ClosedPort closed;
    const Ran refused = Probe({"--page", closed.Url("/q?s=8058.t")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(Has(refused.err, "例外が発生しました。\r\nエラー: 7\r\n")) << refused.err;
    const std::vector<std::string> usage[] = {
        {},
        {"8058", "NOWHERE"},
        {"8058", "--suggest", "a|b"},
        {"8058", "--write"},
        {"--page", "missing.html"},
        {"--bogus"},
    };
    for (const auto& args : usage)
        EXPECT_EQ(Probe(args).status, 2) << ::testing::PrintToString(args);
}

}  // namespace
}  // namespace tickora::test
