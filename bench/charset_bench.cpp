// A UTF-8 quote page of the largest size the reader keeps (202 pieces of 1023 bytes, about
// 206 KB, Japanese text in markup, the quote at the very end): its conversion to CP932 beside
// one raw iconv call over the same bytes, which is the floor of any conversion, and beside the
// extraction that follows it.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include "common/codepage.h"
#include "quotes/fetch.h"
#include "reading/extract.h"
#include "reading/page_charset.h"
#include "side_by_side.h"

namespace {

std::string LargeUtf8Page() {
    const std::string quote =
        "<div class=\"quote-board-head\"><h1 class=\"quote-name\">東西精機</h1></div>"
        "<time class=\"quote-time\">15:00</time><span class=\"price-value\">1,234</span>"
        "<span class=\"change-value\">+12</span><span class=\"change-ratio\">(+0.98%)</span>"
        "<dd class=\"stat-volume\">123,000<span class=\"unit\">株</span>\n";
    const std::string filler = "<li class=\"news\">東証、午前の取引は小幅に続伸</li>";
    std::string line;
    while (line.size() + filler.size() < 1022) line += filler;
    line.resize(1022, ' ');
    line += '\n';
    std::string page = "<meta charset=\"utf-8\">\n";
    while (page.size() + line.size() + quote.size() <= 202 * 1023) page += line;
    return page + quote;
}

tickora::PatternTable ModernPatterns() {
    return tickora::MakePatternTable({
        "[key]_<div class=\"quote-board-head\">",
        tickora::Sj("[銘柄名]_<h1 class=\"quote-name\">_</h1>"),
        tickora::Sj("[時間]_<time class=\"quote-time\">_</time>"),
        tickora::Sj("[現在値]_<span class=\"price-value\">_</span>"),
        tickora::Sj("[前日差]_<span class=\"change-value\">_</span>"),
        tickora::Sj("[差割合]_<span class=\"change-ratio\">(_)</span>"),
        tickora::Sj("[出来高]_<dd class=\"stat-volume\">_<span class=\"unit\">"),
    });
}

// One iconv call into a buffer made beforehand: what the conversion cannot go below.
void RawIconv(iconv_t cd, const std::string& in, std::string& out) {
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size(), room = out.size();
    char* dst = out.data();
    iconv(cd, &src, &left, &dst, &room);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(dst);
}

// Each iteration times the program's conversion and a raw iconv call side by side.
void BM_Utf8PageToCp932BesideRawIconv(benchmark::State& state) {
    const std::string page = LargeUtf8Page();
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(page.size(), '\0');
    const auto t = tickora::bench::TimeSideBySide(
        state, [&] { benchmark::DoNotOptimize(tickora::Utf8PageToCp932(page)); },
        [&] { RawIconv(cd, page, out); });
    iconv_close(cd);
    state.counters["page_KB"] = static_cast<double>(page.size()) / 1000;
    state.counters["convert_us"] = t.figure;
    state.counters["raw_iconv_us"] = t.limit;
    state.counters["ratio"] = t.figure / t.limit;
}
BENCHMARK(BM_Utf8PageToCp932BesideRawIconv)->Unit(benchmark::kMicrosecond);

// The whole reading of a fetched UTF-8 page (declaration, conversion, extraction) beside the
// extraction alone on the converted text.
void BM_QuoteOfUtf8PageBesideExtraction(benchmark::State& state) {
    tickora::FetchedPage fetched;
    fetched.bytes = LargeUtf8Page();
    fetched.response.contentType = "text/html; charset=utf-8";
    const tickora::PatternTable patterns = ModernPatterns();
    const std::string converted = tickora::Utf8PageToCp932(fetched.bytes);
    if (tickora::QuoteOfPage(fetched, patterns).empty()) state.SkipWithError("quote not found");
    const auto t = tickora::bench::TimeSideBySide(
        state, [&] { benchmark::DoNotOptimize(tickora::QuoteOfPage(fetched, patterns)); },
        [&] { benchmark::DoNotOptimize(tickora::ExtractFields(converted, patterns, true)); });
    state.counters["read_us"] = t.figure;
    state.counters["extract_us"] = t.limit;
}
BENCHMARK(BM_QuoteOfUtf8PageBesideExtraction)->Unit(benchmark::kMicrosecond);

}  // namespace
