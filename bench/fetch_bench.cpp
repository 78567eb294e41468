// One quote fetch from the loopback quote host, and one whole refresh pass (entry row,
// three indices, fifteen rows) against it through an in-memory window view, each beside a
// plain socket client sending the same request bytes: the floor of the transport.
#include <benchmark/benchmark.h>

#include <chrono>
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

using Clock = std::chrono::steady_clock;
using tickora::bench::Median;

tickora::test::QuoteHost& Host() {
    static auto host = std::make_unique<tickora::test::QuoteHost>();
    return *host;
}

int HostPort() {
    return tickora::bench::PortOf(Host().Url(""));
}

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
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
    std::vector<double> fetch, raw;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(tickora::FetchQuote(url, tickora::DefaultPatterns()));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(tickora::bench::RawGet(HostPort(), request));
        raw.push_back(Micros(Clock::now() - t1));
        fetch.push_back(Micros(t1 - t0));
    }
    state.counters["fetch_us"] = Median(fetch);
    state.counters["raw_get_us"] = Median(raw);
    tickora::bench::KeepRatioLine(
        "fetch", tickora::bench::RatioLine("one FetchQuote", Median(fetch), "raw socket GET",
                                           Median(raw), "us", 1.2));
}
BENCHMARK(BM_FetchQuoteBesideRawGet)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RefreshPassBesideRawGets(benchmark::State& state) {
    tickora::RefreshConfig config;
    config.baseUrl = Host().Url("/q?s=") + tickora::Sj("銘柄.市場");
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
    if (view.rows[14][tickora::ids::kColName].empty() || requests.size() != 19)
        state.SkipWithError("rows not filled, or a pass of other than 19 requests");

    std::vector<double> pass, raw;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        tickora::RunRefreshPass(view, config);
        const auto t1 = Clock::now();
        for (const std::string& request : requests)
            benchmark::DoNotOptimize(tickora::bench::RawGet(HostPort(), request));
        raw.push_back(Micros(Clock::now() - t1));
        pass.push_back(Micros(t1 - t0));
    }
    state.counters["pass_us"] = Median(pass);
    state.counters["raw_gets_us"] = Median(raw);
    tickora::bench::KeepRatioLine(
        "pass", tickora::bench::RatioLine("a pass of 19 fetches", Median(pass) / 1000,
                                          "19 raw socket GETs", Median(raw) / 1000, "ms", 1.3));
}
BENCHMARK(BM_RefreshPassBesideRawGets)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
