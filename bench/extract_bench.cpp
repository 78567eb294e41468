// ExtractFields on the largest page the reader keeps: 202 pieces of 1023 bytes, nearly all
// double-byte characters, with the quote row at the very end. A single memmem pass over
// the same bytes is the floor any byte search has to pay.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "common/codepage.h"
#include "quotes/extract.h"
#include "quotes/extraction_pattern.h"

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

using Clock = std::chrono::steady_clock;

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

// Each iteration times the extraction and one memmem pass for the anchor over the same page.
void BM_ExtractHardPageBesideMemmem(benchmark::State& state) {
    const std::string page = HardPage();
    const auto& patterns = tickora::DefaultPatterns();
    if (tickora::ExtractFields(page, patterns).empty()) state.SkipWithError("row not found");
    const std::string anchor = "\n</tr><tr align=right>";
    Clock::duration extract{}, scan{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(tickora::ExtractFields(page, patterns));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(memmem(page.data(), page.size(), anchor.data(), anchor.size()));
        scan += Clock::now() - t1;
        extract += t1 - t0;
    }
    const auto n = static_cast<double>(state.iterations());
    const auto us = [](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count();
    };
    state.counters["extract_us"] = us(extract) / n;
    state.counters["memmem_us"] = us(scan) / n;
    state.counters["ratio"] = us(extract) / us(scan);
}
BENCHMARK(BM_ExtractHardPageBesideMemmem)->Unit(benchmark::kMicrosecond);

}  // namespace
