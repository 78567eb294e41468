#include "quotes/refresh_pass.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/codepage.h"
#include "common/control_ids.h"
#include "memory_view.h"
#include "quote_host.h"
#include "quotes/extract.h"
#include "quotes/index_panel.h"

namespace tickora {
namespace {

using test::MemoryView;

class RefreshPassTest : public ::testing::Test {
  protected:
    test::QuoteHost host;
    RefreshConfig Config(const std::string& path = "/q?s=") {
        RefreshConfig c;
        c.baseUrl = host.Url(path) + Sj("銘柄.市場");
        c.fetch.connectTimeoutMs = 2000;
        c.fetch.stallSeconds = 2;
        return c;
    }
    std::vector<std::string> Targets() {
        std::vector<std::string> out;
        for (const auto& r : host.Requests()) out.push_back(r.target);
        return out;
    }
};

TEST_F(RefreshPassTest, FetchesEntryIndicesThenRowsInOrder) {
    MemoryView view;
    view.AddRow("8058", Sj("東証"));
    view.AddRow("805", Sj("東証"));    // too short: never fetched
    view.AddRow("12345", Sj("ＪＱ"));  // 5 bytes: no market part
    view.AddRow("6758", Sj("ＪＱ"));
    view.controls[ids::kStatus] = FetchingStatusText();
    RefreshConfig config = Config();
    config.entryCode = "7203";
    config.entryMarket = 3;
    RunRefreshPass(view, config);

    EXPECT_EQ(Targets(),
              (std::vector<std::string>{"/q?s=7203.o", "/q?s=998407", "/q?s=998405", "/q?s=23337",
                                        "/q?s=8058.t", "/q?s=12345", "/q?s=6758.q"}));
    for (const int r : {0, 3}) {
        const auto& row = view.rows[static_cast<std::size_t>(r)];
        EXPECT_FALSE(row[ids::kColName].empty()) << r;
        EXPECT_GT(std::stoi(row[ids::kColPrice]), 0) << r;
        EXPECT_EQ(row[ids::kColMark], RiseFallMark(row[ids::kColRatio])) << r;
        EXPECT_EQ(view.slots[static_cast<std::size_t>(r)].back(), '_');
    }
    EXPECT_TRUE(view.rows[1][ids::kColName].empty());
    EXPECT_EQ(view.controls[ids::kStatus], "");
    // The entry row and all three index lines were written.
    EXPECT_NE(view.controls[ids::kNameEdit], "no data");
    EXPECT_EQ(view.controls[ids::kMarkEdit], RiseFallMark(view.controls[ids::kRatioEdit]));
    for (const auto& index : Indices()) {
        const std::string& line = view.controls[index.lineId];
        EXPECT_EQ(line.rfind(index.label + " ( ", 0), 0u) << line;
        const std::string& change = view.controls[index.changeId];
        ASSERT_GE(change.size(), 3u);
        EXPECT_EQ(change.front(), ' ');
        EXPECT_EQ(change.back(), ' ');
    }
}

TEST_F(RefreshPassTest, FailuresBlankOrKeepRows) {
    MemoryView view;
    view.AddRow("8058", Sj("東証"));
    view.rows[0][ids::kColName] = "old name";
    view.rows[0][ids::kColMark] = RiseMark();
    view.controls[ids::kNikkeiLine] = Sj("日経平均株価");

    // A page without the row keeps the row and the index texts as they were.
    RunRefreshPass(view, Config("/fault/404/q?s="));
    EXPECT_EQ(view.rows[0][ids::kColName], "old name");
    EXPECT_EQ(view.rows[0][ids::kColMark], RiseMark());
    EXPECT_EQ(view.controls[ids::kNikkeiLine], Sj("日経平均株価"));
    EXPECT_EQ(view.slots[0], "");

    // A network failure blanks the fields and sets the flat mark; the entry row says so.
    const test::ClosedPort closed;
    RefreshConfig down = Config();
    down.baseUrl = closed.Url("/q?s=") + Sj("銘柄.市場");
    down.entryCode = "8058";
    RunRefreshPass(view, down);
    for (const int c : {ids::kColName, ids::kColTime, ids::kColPrice, ids::kColChange,
                        ids::kColRatio, ids::kColVolume})
        EXPECT_EQ(view.rows[0][static_cast<std::size_t>(c)], "") << c;
    EXPECT_EQ(view.rows[0][ids::kColMark], FlatMark());
    EXPECT_EQ(view.rows[0][ids::kColCode], "8058");
    EXPECT_EQ(view.controls[ids::kNikkeiLine], Sj("日経平均株価"));
    for (const int id : {ids::kNameEdit, ids::kTimeEdit, ids::kPriceEdit, ids::kChangeEdit,
                         ids::kRatioEdit, ids::kVolumeEdit, ids::kMarkEdit})
        EXPECT_EQ(view.controls[id], "no data") << id;
}

TEST_F(RefreshPassTest, StopsAtMissingSlotsAndWhenTheWindowCloses) {
    MemoryView view;
    view.AddRow("8058", Sj("東証"));
    view.AddRow("6758", Sj("東証"));
    view.slots.pop_back();  // more rows than slots: the pass ends at the row without one
    RunRefreshPass(view, Config());
    EXPECT_FALSE(view.rows[0][ids::kColName].empty());
    EXPECT_TRUE(view.rows[1][ids::kColName].empty());

    // The window closes after the index panel: no row is fetched, nothing more written.
    MemoryView closing;
    closing.AddRow("8058", Sj("東証"));
    closing.aliveFor = 4;  // the pass's own check, then one per index
    const std::size_t before = host.Requests().size();
    RunRefreshPass(closing, Config());
    EXPECT_EQ(host.Requests().size() - before, 3u);
    EXPECT_TRUE(closing.rows[0][ids::kColName].empty());
}

TEST(IndexPanel, FormatsOnlyPositiveValues) {
    const IndexInfo& nikkei = Indices()[0];
    std::string line = "keep", change = "keep";
    EXPECT_TRUE(FormatIndexTexts(nikkei, "N_15:00_16,500.12_+123.45_+0.7%_0_", line, change));
    EXPECT_EQ(line, Sj("日経平均 ( 15:00 ) 16,500.12"));
    EXPECT_EQ(change, " +123.45 ");
    for (const char* bad : {"N_15:00_---_+1_+1%_0_", "N_15:00_0_+1_+1%_0_", "", "no underscores"}) {
        line = change = "keep";
        EXPECT_FALSE(FormatIndexTexts(nikkei, bad, line, change)) << bad;
        EXPECT_EQ(line, "keep");
        EXPECT_EQ(change, "keep");
    }
}

}  // namespace
}  // namespace tickora
