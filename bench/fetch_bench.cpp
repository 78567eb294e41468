// One quote fetch from the loopback quote host, and one whole refresh pass (entry row,
// three indices, fifteen rows) against it through an in-memory window view, each beside a
// plain socket client sending the same request bytes: the floor of the transport. And the
// bytes of a pass by rules on each layout of today, compressed beside plain.
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

// Fifteen stocks, on every market in turn.
void AddFifteenRows(tickora::test::MemoryView& view) {
    for (int i = 0; i < 15; ++i)
        view.AddRow(
            std::to_string(1301 + i * 7),
            tickora::Markets()[static_cast<std::size_t>(i % tickora::kMarketCount)].displayName);
}

void BM_RefreshPassBesideRawGets(benchmark::State& state) {
    tickora::RefreshConfig config;
    config.page.m_strBaseUrl = Host().Url("/q?s=") + tickora::Sj("銘柄.市場");
    config.entryCode = "8058";
    tickora::test::MemoryView view;
    AddFifteenRows(view);
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

// The body bytes the host sent for a pass by rules (three indices, fifteen stocks) on a layout
// of today, asked for compressed, beside the same eighteen pages fetched as a pass by patterns
// asks for them: without Accept-Encoding.
void PassBytesCompressedBesidePlain(benchmark::State& state, const char* path) {
    tickora::RefreshConfig config;
    config.page.m_strBaseUrl = Host().Url(std::string(path) + "?s=") + tickora::Sj("銘柄.市場");
    config.page.m_arrRules[tickora::kPriceFigure] = "//title";  // what is read changes no byte
    tickora::test::MemoryView view;
    AddFifteenRows(view);
    long long packed = 0, plain = 0;
    bool allGzip = true;
    for (auto _ : state) {
        const std::size_t start = Host().Requests().size();
        tickora::RunRefreshPass(view, config);
        const std::size_t passed = Host().Requests().size();
        for (std::size_t i = start; i < passed; ++i) {
            tickora::BodySink sink;
            sink.onBody = [](std::string_view) { return true; };
            tickora::FetchBody(Host().Url(Host().Requests()[i].target), {}, sink);
        }
        // Whole answers are logged as they go out: the log is complete when the fetch returns.
        const auto log = Host().Requests();
        packed = plain = 0;
        for (std::size_t i = start; i < passed; ++i) {
            packed += log[i].bytesSent;
            plain += log[i + passed - start].bytesSent;
            allGzip = allGzip && log[i].contentEncoding == "gzip";
        }
        if (passed - start != 18 || !allGzip) state.SkipWithError("not 18 gzipped answers");
    }
    state.counters["gzip_KB"] = static_cast<double>(packed) / 1000;
    state.counters["plain_KB"] = static_cast<double>(plain) / 1000;
    tickora::bench::KeepRatioLine(
        std::string("bytes ") + path,
        tickora::bench::RatioLine(std::string("pass by rules on ") + path + ", gzip",
                                  static_cast<double>(packed) / 1e6, "plain",
                                  static_cast<double>(plain) / 1e6, "MB", 0.25));
}
BENCHMARK_CAPTURE(PassBytesCompressedBesidePlain, v2, "/v2/q")->Iterations(1);
BENCHMARK_CAPTURE(PassBytesCompressedBesidePlain, v3_table, "/v3/table/q")->Iterations(1);
BENCHMARK_CAPTURE(PassBytesCompressedBesidePlain, v3_module, "/v3/module/q")->Iterations(1);
BENCHMARK_CAPTURE(PassBytesCompressedBesidePlain, v3_script, "/v3/script/q")->Iterations(1);

}  // namespace
