#pragma once
// The window as a pass sees it, held in memory: rows, result slots and control texts. Writes
// to rows that do not exist or that hold another stock are dropped, as the window's own view
// drops them.

#include <map>
#include <string>
#include <vector>

#include "quotes/refresh_view.h"

namespace tickora::test {

class MemoryView : public RefreshView {
  public:
    std::vector<RowCells> rows;
    std::vector<std::string> slots;
    std::map<int, std::string> controls;
    int aliveFor = 1 << 30;  // Alive() turns false after this many calls

    void AddRow(std::string code, std::string market) {
        rows.emplace_back();
        rows.back()[ids::kColCode] = std::move(code);
        rows.back()[ids::kColMarket] = std::move(market);
        slots.emplace_back();
    }
    bool Alive() override { return aliveFor-- > 0; }
    int RowCount() const { return static_cast<int>(rows.size()); }
    RowKey KeyOf(int r) const {
        return r < RowCount() ? RowKey{rows[r][ids::kColCode], rows[r][ids::kColMarket]} : RowKey{};
    }
    RowRead ReadRow(int r) override {
        return {r < RowCount(), KeyOf(r), r < static_cast<int>(slots.size())};
    }
    void StoreRowResult(int r, const RowKey& key, const std::string& result,
                        const CellWrites& cells) override {
        if (r >= static_cast<int>(slots.size()) || KeyOf(r) != key) return;
        slots[r] = result;
        for (const auto& [c, text] : cells) rows[r][c] = text;
    }
    void SetControlText(int id, const std::string& t) override { controls[id] = t; }
    void WriteEntryRow(const std::string&, int, const ControlTexts& texts) override {
        for (const auto& [id, text] : texts) controls[id] = text;
    }
};

}  // namespace tickora::test
