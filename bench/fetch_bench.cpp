// One quote fetch from the loopback quote host, and one whole refresh pass (entry row,
// three indices, fifteen rows) against it through an in-memory window view.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/market_table.h"
#include "memory_view.h"
#include "quote_host.h"
#include "quotes/fetch.h"
#include "quotes/refresh_pass.h"

namespace {

tickora::test::QuoteHost& Host() {
    static auto host = std::make_unique<tickora::test::QuoteHost>();
    return *host;
}

void BM_FetchQuoteLoopback(benchmark::State& state) {
    const std::string url = Host().Url("/q?s=8058.t");
    if (tickora::FetchQuote(url, tickora::DefaultPatterns()).empty())
        state.SkipWithError("no quote row");
    for (auto _ : state)
        benchmark::DoNotOptimize(tickora::FetchQuote(url, tickora::DefaultPatterns()));
}
BENCHMARK(BM_FetchQuoteLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RefreshPassFifteenRows(benchmark::State& state) {
    tickora::RefreshConfig config;
    config.baseUrl = Host().Url("/q?s=") + tickora::Sj("銘柄.市場");
    config.entryCode = "8058";
    tickora::test::MemoryView view;
    for (int i = 0; i < 15; ++i)
        view.AddRow(
            std::to_string(1301 + i * 7),
            tickora::Markets()[static_cast<std::size_t>(i % tickora::kMarketCount)].displayName);
    for (auto _ : state) tickora::RunRefreshPass(view, config);
    if (view.rows[14][tickora::ids::kColName].empty()) state.SkipWithError("rows not filled");
}
BENCHMARK(BM_RefreshPassFifteenRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
