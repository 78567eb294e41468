// One quote fetch from the loopback quote host, and one whole refresh pass (entry row,
// three indices, fifteen rows) against it through an in-memory window view, each beside a
// plain socket client sending the same request bytes: the floor of the transport.
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
#include "raw_get.h"
#include "side_by_side.h"

namespace {

tickora::test::QuoteHost& Host() {
    static auto host = std::make_unique<tickora::test::QuoteHost>();
    return *host;
}

int HostPort() {
    return tickora::bench::PortOf(Host().Url(""));
}

// What libcurl sends for path, for the raw client to send as well.
const std::string& RequestTemplate() {
    static const std::string request = tickora::bench::FetchRequestBytes(HostPort(), "/q?s=8058.t");
    return request;
}

std::string RequestFor(const std::string& target) {
    std::string request = RequestTemplate();
    const std::string line = "GET /q?s=8058.t ";
    if (request.starts_with(line)) request.replace(4, line.size() - 5, target);
    return request;
}

void BM_FetchQuoteBesideRawGet(benchmark::State& state) {
    const std::string url = Host().Url("/q?s=8058.t");
    const std::string request = RequestFor("/q?s=8058.t");
    if (tickora::FetchQuote(url, tickora::DefaultPatterns()).empty() || request.empty() ||
        tickora::bench::RawGet(HostPort(), request) <= 0)
        state.SkipWithError("no quote row, or the raw client got no page");
    const auto t = tickora::bench::TimeSideBySide(
        state,
        [&] { benchmark::DoNotOptimize(tickora::FetchQuote(url, tickora::DefaultPatterns())); },
        [&] { benchmark::DoNotOptimize(tickora::bench::RawGet(HostPort(), request)); });
    state.counters["fetch_us"] = t.figure;
    state.counters["raw_get_us"] = t.limit;
    tickora::bench::KeepRatioLine(
        "fetch", tickora::bench::RatioLine("one FetchQuote", t.figure, "raw socket GET", t.limit,
                                           "us", 1.2));
}
BENCHMARK(BM_FetchQuoteBesideRawGet)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RefreshPassBesideRawGets(benchmark::State& state) {
    tickora::RefreshConfig config;
    config.page.m_strBaseUrl = Host().Url("/q?s=") + tickora::Sj("銘柄.市場");
    config.entryCode = "8058";
    tickora::test::MemoryView view;
    for (int i = 0; i < 15; ++i)
        view.AddRow(
            std::to_string(1301 + i * 7),
            tickora::Markets()[static_cast<std::size_t>(i % tickora::kMarketCount)].displayName);
    // The requests of one pass, as the host saw them, in their order.
    const std::size_t before = Host().Requests().size();
    tickora::RunRefreshPass(view, config);
    std::vector<std::string> requests;
    const auto answered = Host().Requests();
    for (std::size_t i = before; i < answered.size(); ++i)
        requests.push_back(RequestFor(answered[i].target));
    if (!view.quotes[14] || view.quotes[14]->name.empty() || requests.size() != 19)
        state.SkipWithError("rows not filled, or a pass of other than 19 requests");

    const auto t = tickora::bench::TimeSideBySide(
        state, [&] { tickora::RunRefreshPass(view, config); },
        [&] {
            for (const std::string& request : requests)
                benchmark::DoNotOptimize(tickora::bench::RawGet(HostPort(), request));
        });
    state.counters["pass_us"] = t.figure;
    state.counters["raw_gets_us"] = t.limit;
    tickora::bench::KeepRatioLine(
        "pass", tickora::bench::RatioLine("a pass of 19 fetches", t.figure / 1000,
                                          "19 raw socket GETs", t.limit / 1000, "ms", 1.3));
}
BENCHMARK(BM_RefreshPassBesideRawGets)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
