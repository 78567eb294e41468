#include "answers.h"

#include <algorithm>
#include <cstdlib>

#include "chart_gif.h"
#include "pages.h"

namespace tickora::quotehost {

namespace {

std::string Param(const Query& q, const std::string& key) {
    const auto it = q.find(key);
    return it == q.end() ? std::string() : it->second;
}

Answer Html(std::string body) {
    Answer a;
    a.body = std::move(body);
    return a;
}

// The modern layouts name their charset in the header as well as in a <meta charset>.
Answer Utf8Html(std::string body) {
    Answer a = Html(std::move(body));
    a.contentType = "text/html; charset=utf-8";
    return a;
}

Answer HomePage() {
    return Html(SitePage("ホーム",
                         "<p>練習用の架空の相場です。銘柄はすべて架空の会社です。</p>\n"
                         "<ul>\n"
                         "<li><a href=\"/q?s=8058.t\">東西精機 (8058.t)</a></li>\n"
                         "<li><a href=\"/q?s=1001.q\">青葉化学 (1001.q)</a></li>\n"
                         "<li><a href=\"/q?s=998407\">日経平均</a></li>\n"
                         "<li><a href=\"/q?s=998405\">TOPIX</a></li>\n"
                         "<li><a href=\"/q?s=23337\">JASDAQ</a></li>\n"
                         "</ul>\n"));
}

// The board of a code: ?code=8058, or ?board=1008058 as the default link names it.
Answer BoardPage(const Query& q) {
    std::string code = SafeSymbol(Param(q, "code"));
    if (const std::string board = SafeSymbol(Param(q, "board")); board.starts_with("100"))
        code = board.substr(3);
    const std::string name = code.size() == 4 ? Market::CompanyName(code) : std::string("掲示板");
    return Html(SitePage(name + " の掲示板",
                         "<p>1. 名無しさん: 今日は動きが少ないですね。</p>\n"
                         "<p>2. 名無しさん: 出来高が増えてきました。</p>\n"
                         "<p>3. 名無しさん: 決算発表が楽しみです。</p>\n"));
}

// The company of a code: ?code=8058, or ?scode=8058 as the default link names it.
Answer CompanyPage(const Query& q) {
    const std::string code = SafeSymbol(Param(q, q.count("scode") ? "scode" : "code"));
    if (code.size() != 4) return Html(SitePage("企業情報", "<p>コードを指定してください。</p>\n"));
    const std::string name = Market::CompanyName(code);
    return Html(SitePage(name + " の企業情報",
                         "<table border=1 cellpadding=3>\n"
                         "<tr><th>コード</th><td>" +
                             code +
                             "</td></tr>\n"
                             "<tr><th>社名</th><td>" +
                             name +
                             "</td></tr>\n"
                             "<tr><th>上場市場</th><td>東証 ＪＱ 大証 名証</td></tr>\n"
                             "</table>\n"));
}

Answer ChartImage(std::string_view path, const MarketClock& clock) {
    constexpr std::string_view kPrefix = "/c/1d/8/";
    std::string_view symbol = path.substr(kPrefix.size());
    symbol.remove_suffix(4);  // ".gif"
    std::vector<long> prices;
    if (const auto listing = Market::Find(symbol)) prices = Market::Walk(*listing, clock);
    Answer a;
    a.contentType = "image/gif";
    a.body = ChartGif(prices);
    return a;
}

// n bytes of every value, byte i being BlobByte(i): a body whose copy can be checked byte for
// byte (at most 16 MiB).
Answer Blob(const Query& q) {
    const long n = std::clamp(std::atol(Param(q, "n").c_str()), 0L, 16L << 20);
    Answer a;
    a.contentType = "application/octet-stream";
    a.body.resize(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < a.body.size(); ++i) a.body[i] = static_cast<char>(BlobByte(i));
    return a;
}

}  // namespace

Answer NormalAnswer(std::string_view path, const Query& query, const MarketClock& clock) {
    if (path == "/") return HomePage();
    if (path == "/q") return Html(QuotePage(Param(query, "s"), clock));
    if (path == "/v2/q") return Utf8Html(ModernQuotePage(Param(query, "s"), clock));
    if (path == "/v3/table/q") return Utf8Html(TableQuotePage(Param(query, "s"), clock));
    if (path == "/v3/module/q") return Utf8Html(ModuleQuotePage(Param(query, "s"), clock));
    if (path == "/v3/script/q") return Utf8Html(ScriptQuotePage(Param(query, "s"), clock));
    for (const PageLayout& layout : V4Layouts()) {
        if (path == layout.path) return Utf8Html(layout.page(Param(query, "s"), clock));
    }
    if (path == "/bbs") return BoardPage(query);
    if (path == "/index.cfm") return CompanyPage(query);
    if (path == "/blob") return Blob(query);
    if (path.starts_with("/c/1d/8/") && path.ends_with(".gif") && path.size() > 12) {
        return ChartImage(path, clock);
    }
    Answer a =
        Html(SitePage("ページが見つかりません", "<p>お探しのページは見つかりませんでした。</p>\n"));
    a.status = 404;
    return a;
}

std::size_t FillerPoint(std::string_view body) {
    const auto tag = body.find("<body");
    if (tag == std::string_view::npos) return 0;
    const auto eol = body.find('\n', tag);
    return eol == std::string_view::npos ? body.size() : eol + 1;
}

bool ReshapeBody(std::string_view mode, std::string& body) {
    const std::size_t at = FillerPoint(body);
    if (mode == "longline") {
        body.insert(at, "<!-- " + std::string(3000, 'x') + " -->\n");
    } else if (mode == "manylines") {
        std::string filler;
        for (int i = 0; i < 250; ++i) filler += "<!-- filler line " + std::to_string(i) + " -->\n";
        body.insert(at, filler);
    } else if (mode == "crlf") {
        std::string out;
        out.reserve(body.size() + body.size() / 16);
        for (const char c : body) {
            if (c == '\n') out += '\r';
            out += c;
        }
        body = std::move(out);
    } else if (mode == "nul") {
        using namespace std::string_literals;
        // A reader that ends a line at its first zero byte loses the rest of that line only;
        // the invalid bytes stand where no search of the client can be misled by them.
        body.insert(at,
                    "<!-- zero bytes: \0\0 after them -->\n"
                    "<!-- invalid: \xFF\xFE\xFD\x80\xA0 lone lead: \x81 -->\n"
                    "<!-- \0 -->\n"
                    "<!-- end of junk -->\n"s);
    } else {
        return false;
    }
    return true;
}

std::string GarbageBody(std::uint64_t seed) {
    std::string out;
    out.reserve(4096);
    for (std::uint64_t i = 0; out.size() < 4096; ++i) {
        std::uint64_t h = Hash("garbage", seed + i);
        for (int b = 0; b < 8; ++b, h >>= 8) out += static_cast<char>(h & 0xFF);
    }
    return out;
}

std::string_view HugeFillerLine() {
    static const std::string line = [] {
        std::string l = "<!-- filler of the huge page ";
        l.resize(59, '.');
        l += " -->\n";
        return l;
    }();
    return line;
}

}  // namespace tickora::quotehost
