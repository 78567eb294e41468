// Reading a page by rules beside libxml2's own parse of the same page, on each of the quote
// host's layouts of today; suggesting rules from a page of today's largest weight beside its
// parse; and the memory of a thousand pages read by rules.
#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>
#include <malloc.h>

#include <fstream>
#include <string>

#include "common/codepage.h"
#include "market.h"
#include "pages.h"
#include "reading/page_rules.h"
#include "reading/rule_suggest.h"
#include "side_by_side.h"

namespace {

namespace host = tickora::quotehost;
using Layout = std::string (*)(std::string_view, const host::MarketClock&);

const host::MarketClock kClock{20'000, 12 * 60 + 40};

// The rules a user gets from --suggest on the layout's page of a rising stock.
tickora::FigureTexts RulesFor(Layout layout, bool decimal) {
    const host::Quote q = host::Market::QuoteOf(*host::Market::Find("8058.t"), kClock);
    const tickora::FigureTexts values = {
        tickora::Sj(q.name), q.time, q.price + (decimal ? ".0" : ""), q.change, q.ratio, q.volume};
    return tickora::SuggestRules(tickora::ParsedPage(layout("8058.t", kClock)), values).Rules();
}

void ReadBesideParse(benchmark::State& state, const char* name, Layout layout, bool decimal) {
    const std::string page = layout("7203.t", kClock);
    const tickora::PageRules rules(RulesFor(layout, decimal));
    const std::string type = "text/html; charset=utf-8";
    if (tickora::QuoteOfPageByRules(page, type, rules).empty())
        state.SkipWithError("the rules read nothing");
    const auto t = tickora::bench::TimeSideBySide(
        state, [&] { benchmark::DoNotOptimize(tickora::QuoteOfPageByRules(page, type, rules)); },
        [&] {
            htmlDocPtr doc = htmlReadMemory(
                page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
            xmlFreeDoc(doc);
        });
    state.counters["page_KB"] = static_cast<double>(page.size()) / 1000;
    tickora::bench::KeepRatioLine(
        std::string("rules ") + name,
        tickora::bench::RatioLine(std::string("read by rules, ") + name, t.figure, "htmlReadMemory",
                                  t.limit, "us", 1.5));
}

void BM_RulesTableLayout(benchmark::State& s) {
    ReadBesideParse(s, "labelled table", host::TableQuotePage, false);
}
void BM_RulesModuleLayout(benchmark::State& s) {
    ReadBesideParse(s, "minified CSS modules", host::ModuleQuotePage, true);
}
void BM_RulesScriptLayout(benchmark::State& s) {
    ReadBesideParse(s, "JSON in a script", host::ScriptQuotePage, false);
}
BENCHMARK(BM_RulesTableLayout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RulesModuleLayout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RulesScriptLayout)->Unit(benchmark::kMicrosecond);

// The rising stock's page of a layout with today's largest weight, some 1.2 MB: a table of other
// stocks' figures stands before the quote, and figures of the quote stand in it by chance.
std::string LargePage(const host::MarketClock& clock) {
    std::string page = host::Hibari2QuotePage("8058.t", clock), filler = "<table class=\"all\">";
    for (int i = 0; filler.size() < 1'200'000; ++i)
        filler += "<tr><td><a href=\"/q?s=" + std::to_string(1000 + i % 9000) +
                  ".t\">銘柄</a></td><td class=\"num\">" +
                  host::GroupThousands(100 + i * 37 % 9900) + "</td><td class=\"num\">+" +
                  std::to_string(i % 90) + "</td></tr>\n";
    return page.insert(page.find("<main"), filler + "</table>\n");
}

// Suggesting rules from such a page beside parsing it; the goal is half a second.
void BM_SuggestOnALargePage(benchmark::State& state) {
    const std::string page = LargePage(kClock);
    const host::ShownQuote shown = host::Hibari2Shown("8058.t", kClock);
    tickora::FigureTexts values;
    for (int f = 0; f < tickora::kFigureCount; ++f) values[f] = tickora::Sj(shown.plain[f]);
    if (!tickora::SuggestRules(tickora::ParsedPage(page), values).Complete())
        state.SkipWithError("no rules for every figure");
    const auto t = tickora::bench::TimeSideBySide(
        state,
        [&] {
            const tickora::ParsedPage parsed(page);
            benchmark::DoNotOptimize(tickora::SuggestRules(parsed, values));
        },
        [&] { benchmark::DoNotOptimize(tickora::ParsedPage(page)); });
    state.counters["page_KB"] = static_cast<double>(page.size()) / 1000;
    tickora::bench::KeepRatioLine(
        "suggest",
        tickora::bench::RatioLine(
            "parse and suggest, " + std::to_string(page.size() / 1000) + " KB (goal under 500 ms)",
            t.figure / 1000, "parse alone", t.limit / 1000, "ms",
            500 / std::max(t.limit / 1000, 1.0)));
}
BENCHMARK(BM_SuggestOnALargePage)->Unit(benchmark::kMillisecond)->Iterations(5);

long RssKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// The resident size after 100 pages and after 1,000 more: flat when nothing is kept.
void BM_RulesMemoryOverAThousandPages(benchmark::State& state) {
    const std::string page = host::ModuleQuotePage("7203.t", kClock);
    const tickora::PageRules rules(RulesFor(host::ModuleQuotePage, true));
    const auto read = [&](int pages) {
        for (int i = 0; i < pages; ++i)
            benchmark::DoNotOptimize(
                tickora::QuoteOfPageByRules(page, "text/html; charset=utf-8", rules));
        malloc_trim(0);
        return RssKiB();
    };
    long warm = 0, after = 0;
    for (auto _ : state) {
        warm = read(100);
        after = read(1000);
    }
    state.counters["rss_after_100_KiB"] = static_cast<double>(warm);
    state.counters["rss_after_1100_KiB"] = static_cast<double>(after);
    tickora::bench::KeepRatioLine(
        "rules memory", tickora::bench::RatioLine("RSS after 1,100 pages by rules", after / 1024.0,
                                                  "after 100", warm / 1024.0, "MiB", 1.05));
}
BENCHMARK(BM_RulesMemoryOverAThousandPages)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
