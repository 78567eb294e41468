// One quote fetch from the loopback quote host, and one whole refresh pass (entry row,
// three indices, fifteen rows) against it through an in-memory window view.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/market_table.h"
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

class MemoryView : public tickora::RefreshView {
  public:
    explicit MemoryView(int rows) : cells_(static_cast<std::size_t>(rows)), slots_(cells_.size()) {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            cells_[i][0] = std::to_string(1301 + i * 7);
            cells_[i][2] = tickora::Markets()[i % tickora::kMarketCount].displayName;
        }
    }
    bool Alive() override { return true; }
    int RowCount() override { return static_cast<int>(cells_.size()); }
    std::string CellText(int r, int c) override { return cells_[Idx(r)][Idx(c)]; }
    void SetCellText(int r, int c, const std::string& t) override { cells_[Idx(r)][Idx(c)] = t; }
    int ResultSlotCount() override { return static_cast<int>(slots_.size()); }
    void SetResultSlot(int r, const std::string& t) override { slots_[Idx(r)] = t; }
    void SetControlText(int, const std::string&) override {}

  private:
    static std::size_t Idx(int i) { return static_cast<std::size_t>(i); }
    std::vector<std::array<std::string, tickora::ids::kColumnCount>> cells_;
    std::vector<std::string> slots_;
};

void BM_RefreshPassFifteenRows(benchmark::State& state) {
    tickora::RefreshConfig config;
    config.baseUrl = Host().Url("/q?s=") + tickora::Sj("銘柄.市場");
    config.entryCode = "8058";
    MemoryView view(15);
    for (auto _ : state) tickora::RunRefreshPass(view, config);
    if (view.CellText(14, tickora::ids::kColName).empty()) state.SkipWithError("rows not filled");
}
BENCHMARK(BM_RefreshPassFifteenRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
