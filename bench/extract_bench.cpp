// ExtractFields on the largest page the reader keeps: 202 pieces of 1023 bytes, nearly all
// double-byte characters, with the quote row at the very end. A single memmem pass over
// the same bytes is the floor any byte search has to pay.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "common/codepage.h"
#include "quote_host.h"
#include "quotes/fetch.h"
#include "reading/extract.h"
#include "reading/extraction_pattern.h"
#include "side_by_side.h"

namespace {

std::string WorstCasePage() {
    const std::string row = "</tr><tr align=right><td><small>" + tickora::Sj("東西精機") +
                            "</small></td><td nowrap align=center>15:00</td><td nowrap><b>1,234"
                            "</b></td><td nowrap>+12</td><td nowrap>+0.98%</td><td nowrap>"
                            "123,000</td>\n";
    // '<' and 't' second bytes make the search meet candidate bytes inside characters.
    const std::string filler = tickora::Sj("株価") +
                               "\x81<"
                               "\x83t";
    std::string line;
    while (line.size() + filler.size() < 1023) line += filler;
    line.resize(1022, 'x');
    line += '\n';  // one piece of 1023 bytes
    std::string page = "<meta charset=Shift_JIS>\n";
    const std::size_t total = 202 * 1023;
    while (page.size() + line.size() + row.size() <= total) page += line;
    page.append(total - row.size() - page.size(), 'x');
    return page + row;
}

void BM_ExtractFieldsWorstCase(benchmark::State& state) {
    const std::string page = WorstCasePage();
    const auto& patterns = tickora::DefaultPatterns();
    if (tickora::ExtractFields(page, patterns).empty()) state.SkipWithError("row not found");
    for (auto _ : state) benchmark::DoNotOptimize(tickora::ExtractFields(page, patterns));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ExtractFieldsWorstCase)->Unit(benchmark::kMicrosecond);

void BM_MemmemSamePage(benchmark::State& state) {
    const std::string page = WorstCasePage();
    const char needle[] = "</tr><tr align=right>";
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(page.data(), page.size(), needle, sizeof needle - 1));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_MemmemSamePage)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// A page built to be hard: the anchor again and again right after a lead byte, where it is
// no match, so a search that restarted after every such place would start some 9,000 times.
std::string HardPage() {
    const std::string decoy = "\x81</tr><tr align=right>";
    std::string page = "<meta charset=Shift_JIS>\n";
    while (page.size() + decoy.size() < 200 * 1023) page += decoy;
    return page +
           "\n</tr><tr align=right><td><small>N</small></td><td nowrap align=center>15:00"
           "</td><td nowrap><b>1,234</b></td><td nowrap>+12</td><td nowrap>+0.98%</td>"
           "<td nowrap>123,000</td>\n";
}

// A quote page as the loopback host serves it and the reader keeps it.
std::string HostPage() {
    tickora::test::QuoteHost host;
    return tickora::FetchPage(host.Url("/q?s=8058.t")).bytes;
}

// memmem for each marker of the pattern table in turn, each from where the last one ended:
// the anchor, then every field's prefix and suffix. What any byte search that finds the same
// markers pays; the end of the last marker, or nullptr when one is missing.
const char* MarkerChain(const std::string& page, const tickora::PatternTable& patterns) {
    const char* at = page.data();
    const char* const end = page.data() + page.size();
    auto find = [&](const std::string& marker) {
        if (at == nullptr || marker.empty()) return;
        const void* hit =
            memmem(at, static_cast<std::size_t>(end - at), marker.data(), marker.size());
        at = hit == nullptr ? nullptr : static_cast<const char*>(hit) + marker.size();
    };
    find(patterns[0].prefix);
    for (std::size_t i = 1; i < patterns.size(); ++i) {
        find(patterns[i].prefix);
        find(patterns[i].suffix);
    }
    return at;
}

// Each iteration times the extraction and the memmem chain over the same page.
void ExtractBesideMemmem(benchmark::State& state, const std::string& page, const char* key) {
    const auto& patterns = tickora::DefaultPatterns();
    if (tickora::ExtractFields(page, patterns).empty() || MarkerChain(page, patterns) == nullptr)
        state.SkipWithError("row not found");
    const auto t = tickora::bench::TimeSideBySide(
        state, [&] { benchmark::DoNotOptimize(tickora::ExtractFields(page, patterns)); },
        [&] { benchmark::DoNotOptimize(MarkerChain(page, patterns)); });
    state.counters["extract_us"] = t.figure;
    state.counters["memmem_us"] = t.limit;
    state.counters["page_bytes"] = static_cast<double>(page.size());
    tickora::bench::KeepRatioLine(
        key, tickora::bench::RatioLine(std::string("extraction, ") + key, t.figure,
                                       "memmem of its markers", t.limit, "us", 2));
}

void BM_ExtractHardPageBesideMemmem(benchmark::State& state) {
    static const std::string page = HardPage();
    ExtractBesideMemmem(state, page, "hard page");
}
BENCHMARK(BM_ExtractHardPageBesideMemmem)->Unit(benchmark::kMicrosecond);

void BM_ExtractHostPageBesideMemmem(benchmark::State& state) {
    static const std::string page = HostPage();
    ExtractBesideMemmem(state, page, "host page");
}
BENCHMARK(BM_ExtractHostPageBesideMemmem)->Unit(benchmark::kMicrosecond);

}  // namespace
