#include "links/link_templates.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/codepage.h"
#include "temp_dir.h"

namespace tickora {
namespace {

using Lines = std::vector<std::string>;

// Every line is read and written back with CR LF; a file that cannot be read or written is
// left as it was.
TEST(UrlList, ReadsEveryLineAndWritesItBackWithCrLfUnlessItCannot) {
    const Lines defaults = {"d1", "d2"};
    const struct {
        const char* what;
        const char* bytes;  // nullptr: no file
        Lines lines;
        const char* written;
    } cases[] = {
        {"missing: the defaults", nullptr, defaults, "d1\r\nd2\r\n"},
        {"empty: no lines", "", {}, ""},
        {"CR LF", "a_1\r\nb_2\r\n", {"a_1", "b_2"}, "a_1\r\nb_2\r\n"},
        {"LF only", "a_1\nb_2\n", {"a_1", "b_2"}, "a_1\r\nb_2\r\n"},
        {"CR only", "a_1\rb_2\r", {"a_1", "b_2"}, "a_1\r\nb_2\r\n"},
        {"last line without an end", "a_1\nb_2", {"a_1", "b_2"}, "a_1\r\nb_2\r\n"},
        {"an empty line in the middle", "a\n\nb\n", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"a byte-order mark is kept", "\xEF\xBB\xBFx\n", {"x"}, "\xEF\xBB\xBFx\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string path = StockListPath(dir.folder());
        if (c.bytes) dir.Write("銘柄URL.txt", c.bytes);
        const UrlList list = ReadUrlList(path, defaults);
        EXPECT_EQ(list.lines, c.lines);
        ASSERT_TRUE(WriteUrlList(path, list));
        EXPECT_EQ(dir.Read("銘柄URL.txt"), c.written);
    }

    test::TempDir dir;
    const std::string path = NikkeiListPath(dir.folder());
    dir.Write("日経URL.txt", "mine\r\n");
    ::chmod(path.c_str(), 0444);
    UrlList list = ReadUrlList(path, {"d"});
    list.lines.push_back("more");
    std::string why;
    EXPECT_FALSE(WriteUrlList(path, list, &why));
    EXPECT_EQ(why, "the file is read-only");
    EXPECT_EQ(dir.Read("日経URL.txt"), "mine\r\n");
    // A list that could not be read is never written, whoever may write the file.
    ::chmod(path.c_str(), 0644);
    EXPECT_FALSE(WriteUrlList(path, {{"d"}, false, false, "Permission denied"}, &why));
    EXPECT_EQ(why, "Permission denied");
    EXPECT_EQ(dir.Read("日経URL.txt"), "mine\r\n");
}

TEST(LinkTemplates, LinesSplitAtTheirFirstSeparator) {
    const struct {
        const char* line;  // UTF-8
        bool split;
        const char *label, *url;
    } cases[] = {
        {"1日株価        _http://h/q?s=銘柄&d=1d", true, "1日株価", "http://h/q?s=銘柄&d=1d"},
        {"label_http://h/", true, "labe", "http://h/"},  // no blank: the last byte goes
        {"_http://h/a_b", true, "", "http://h/a_b"},
        {"日経　 _u", true, "日経　", "u"},  // only one-byte blanks go
        {"http://h/", false, "", ""},
    };
    for (const auto& c : cases) {
        const std::optional<LinkLine> line = SplitLinkLine(Sj(c.line));
        ASSERT_EQ(line.has_value(), c.split) << c.line;
        if (!line) continue;
        EXPECT_EQ(Cp932ToUtf8(line->label), c.label) << c.line;
        EXPECT_EQ(Cp932ToUtf8(line->url), c.url) << c.line;
    }
    // A "_" that is the second byte of a character is no separator: this is "a＼b".
    EXPECT_FALSE(SplitLinkLine("a\x81\x5F\x62").has_value());
}

TEST(LinkTemplates, StockLinksReplaceTheCodeAndTheMarketSuffix) {
    const struct {
        const char *templ, *code, *market, *url;  // UTF-8; url nullptr: no link
    } cases[] = {
        {"h/q?s=銘柄.市場", "8058", "東証", "h/q?s=8058.t"},
        {"h/q?s=銘柄.市場", "8058", "大証", "h/q?s=8058.o"},
        {"h/q?s=銘柄.市場&d=1d", "8058", "ＪＱ", "h/q?s=8058.q&d=1d"},
        {"h/q?s=銘柄.市場&d=1d", "998407", "東証", "h/q?s=998407.市場"},
        {"h/bbs?board=100銘柄&sid=100銘柄", "8058", "東証", "h/bbs?board=1008058&sid=1008058"},
        {"h/q?s=銘柄.市場", "8058", "NYSE", nullptr},
        {"h/q?s=銘柄.市場", "998407", "", "h/q?s=998407"},
    };
    for (const auto& c : cases) {
        const auto url = ExpandStockLink(Sj(c.templ), DefaultSuffixes(), c.code, Sj(c.market));
        EXPECT_EQ(url ? Cp932ToUtf8(*url) : "(none)", c.url ? c.url : "(none)") << c.templ;
    }
}

TEST(LinkTemplates, OnlyAbsoluteWebLinksWithAHostAreOpened) {
    for (const char* url : {"http://quotes.example/q?s=8058.t", "HTTPS://user@quotes.example:8443/",
                            "http://[::1]:50505/q"})
        EXPECT_TRUE(IsWebLink(url)) << url;
    for (const char* url :
         {"--version", "-h", "-8058.t", "%2D%2Dversion", "file:///etc/passwd", "smb://server/share",
          "javascript:alert(1)", "data:text/html,<b>x</b>", "/etc/passwd", "quotes.example/q",
          "http:///no-host", "http://user@/no-host", "http://:80/", "http://x/a\nb",
          " http://leading.blank/", "ftp://quotes.example/q", "file://quotes.example/x",
          "javascript://h/%0Aalert(1)", "mailto:a@quotes.example"})
        EXPECT_FALSE(IsWebLink(url)) << url;
}

}  // namespace
}  // namespace tickora
