#pragma once
// The window as a pass sees it, held in memory: rows, result slots and what was shown. Writes
// to rows that do not exist or that hold another stock are dropped, as the window's own view
// drops them.

#include <array>
#include <string>
#include <vector>

#include "quotes/refresh_view.h"

namespace tickora::test {

class MemoryView : public RefreshView {
  public:
    std::vector<RowKey> rows;
    std::vector<std::string> slots;
    std::vector<std::optional<Quote>> quotes;  // what each row shows; nullopt: nothing yet
    std::optional<Quote> entry;
    std::array<std::optional<IndexTexts>, 3> indices;
    int passesEnded = 0;
    int aliveFor = 1 << 30;  // Alive() turns false after this many calls

    void AddRow(std::string code, std::string market) {
        rows.push_back({std::move(code), std::move(market)});
        slots.emplace_back();
        quotes.emplace_back();
    }
    bool Alive() override { return aliveFor-- > 0; }
    int RowCount() const { return static_cast<int>(rows.size()); }
    RowKey KeyOf(int r) const { return r < RowCount() ? rows[r] : RowKey{}; }
    RowRead ReadRow(int r) override {
        return {r < RowCount(), KeyOf(r), r < static_cast<int>(slots.size())};
    }
    void StoreRowResult(int r, const RowKey& key, const std::string& result,
                        const std::optional<Quote>& quote) override {
        if (r < static_cast<int>(slots.size()) && KeyOf(r) == key) {
            slots[r] = result;
            if (quote) quotes[r] = quote;
        }
    }
    void ShowIndex(std::size_t i, const IndexTexts& texts) override { indices[i] = texts; }
    void ShowEntryQuote(const std::string&, int, const Quote& quote) override { entry = quote; }
    void PassEnded() override { ++passesEnded; }
};

}  // namespace tickora::test
