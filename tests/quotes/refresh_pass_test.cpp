#include "quotes/refresh_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <vector>

#include "common/codepage.h"
#include "memory_view.h"
#include "quote_host.h"
#include "quotes/index_panel.h"
#include "quotes/ui_gateway.h"
#include "quotes/worker_set.h"
#include "reading/extract.h"

namespace tickora {
namespace {

using test::MemoryView;

class RefreshPassTest : public ::testing::Test {
  protected:
    test::QuoteHost host;
    RefreshConfig Config(const std::string& base) {
        RefreshConfig c;
        c.page.m_strBaseUrl = base + Sj("銘柄.市場");
        return c;
    }
};

TEST_F(RefreshPassTest, FetchesEntryIndicesThenRowsInOrderUntilTheWindowCloses) {
    MemoryView view;
    view.AddRow("6758", Sj("ＪＱ"));
    view.AddRow("805", Sj("東証"));    // too short: never fetched
    view.AddRow("12345", Sj("東証"));  // 5 bytes: no market part
    view.AddRow("8058", Sj("東証"));
    view.slots.pop_back();  // more rows than slots: the pass ends at the row without one
    RefreshConfig config = Config(host.Url("/q?s="));
    config.page.m_szSuffix[1] = "n";  // the user's own suffix for ＪＱ
    config.page.m_arrIndexUrls[1] = host.Url("/q?s=998405&site=own");  // TOPIX's own page
    config.entryCode = "7203";
    config.entryMarket = 3;
    RunRefreshPass(view, config);

    std::vector<std::string> targets;
    for (const auto& r : host.Requests()) targets.push_back(r.target);
    EXPECT_EQ(targets,
              (std::vector<std::string>{"/q?s=7203.o", "/q?s=998407", "/q?s=998405&site=own",
                                        "/q?s=23337", "/q?s=6758.n", "/q?s=12345"}));
    ASSERT_TRUE(view.quotes[0]);
    const Quote& row = *view.quotes[0];
    EXPECT_FALSE(row.name.empty());
    EXPECT_GT(std::stoi(row.price), 0);
    EXPECT_EQ(row.mark, RiseFallMark(row.ratio));
    EXPECT_EQ(view.slots[0].back(), '_');
    EXPECT_FALSE(view.quotes[1]);
    EXPECT_EQ(view.passesEnded, 1);
    ASSERT_TRUE(view.entry);
    EXPECT_NE(view.entry->name, "no data");
    EXPECT_EQ(view.entry->mark, RiseFallMark(view.entry->ratio));
    for (std::size_t i = 0; i < Indices().size(); ++i) {
        ASSERT_TRUE(view.indices[i]) << i;
        EXPECT_TRUE(view.indices[i]->line.starts_with(Indices()[i].label + " ( "));
        EXPECT_NE(view.indices[i]->change, "");
    }

    // The window closes after the index panel: no row is fetched, nothing more written.
    view.aliveFor = 4;  // the pass's own check, then one per index
    view.quotes[0].reset();
    RunRefreshPass(view, Config(host.Url("/q?s=")));
    EXPECT_EQ(host.Requests().size(), 9u);
    EXPECT_FALSE(view.quotes[0]);
}

TEST_F(RefreshPassTest, FailuresBlankOrKeepRows) {
    MemoryView view;
    view.AddRow("8058", Sj("東証"));
    const Quote old{"old name", "", "", "", "", "", RiseMark()};
    view.quotes[0] = old;

    // A page without the row keeps the row and the index texts as they were.
    RunRefreshPass(view, Config(host.Url("/fault/404/q?s=")));
    EXPECT_EQ(view.quotes[0], old);
    EXPECT_EQ(view.slots[0], "");

    // A network failure blanks the fields and sets the flat mark; the entry row says so.
    const test::ClosedPort closed;
    RefreshConfig down = Config(closed.Url("/q?s="));
    down.entryCode = "8058";
    RunRefreshPass(view, down);
    EXPECT_EQ(view.quotes[0], (Quote{"", "", "", "", "", "", FlatMark()}));
    for (const auto& index : view.indices) EXPECT_FALSE(index);
    const std::string none = "no data";
    EXPECT_EQ(view.entry, (Quote{none, none, none, none, none, none, none}));
}

TEST(IndexPanel, FormatsOnlyPositiveValues) {
    const IndexInfo& nikkei = Indices()[0];
    EXPECT_EQ(FormatIndexTexts(nikkei, "N_15:00_16,500.12_+123.45_+0.7%_0_"),
              (IndexTexts{Sj("日経平均 ( 15:00 ) 16,500.12"), " +123.45 "}));
    for (const char* bad : {"N_15:00_---_+1_+1%_0_", "N_15:00_0_+1_+1%_0_", "", "no underscores"})
        EXPECT_FALSE(FormatIndexTexts(nikkei, bad)) << bad;
}

TEST(ExpandQuoteUrl, Cases) {
    const std::string base = "http://h/q?s=" + Sj("銘柄.市場");
    const SuffixTable s = DefaultSuffixes();
    const struct {
        std::string base, code;
        int market;
        std::string expected;
    } cases[] = {
        {base, "8058", -1, "http://h/q?s=8058."},
        {base, "8058", 7, "http://h/q?s=8058."},
        {"http://h/" + Sj("市場") + "/" + Sj("銘柄") + "/" + Sj("市場"), "1234", 6,
         "http://h/s/1234/s"},
        // Any other length loses the last 5 bytes, whatever they are.
        {"http://h/q?code=" + Sj("銘柄") + "&x=12345", "998405", 0, "http://h/q?code=998405&x="},
        {"abc", "12345", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandQuoteUrl(c.base, s, c.code, c.market), c.expected) << c.expected;
}

// The threads a pass runs on: the workers and their requests to the UI thread, which is this
// test's thread (the gateway is made on it); it runs what is posted to it by hand.
class UiGatewayTest : public ::testing::Test {
  protected:
    struct Posted {
        std::function<void()> task;
        int delayMs = 0;
    };
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<Posted> posted;
    UiGateway gateway{[this](std::function<void()> task, int delayMs) {
        std::lock_guard lock(mutex);
        posted.push_back({std::move(task), delayMs});
        arrived.notify_all();
    }};

    // The next task posted to the UI thread, waited for up to 5 s; an empty one if none came.
    Posted Next() {
        std::unique_lock lock(mutex);
        if (!arrived.wait_for(lock, std::chrono::seconds(5), [&] { return !posted.empty(); }))
            return {};
        Posted p = std::move(posted.front());
        posted.pop_front();
        return p;
    }
    std::size_t Waiting() {
        std::lock_guard lock(mutex);
        return posted.size();
    }
    // Post from a worker thread, which returns at once.
    void PostFromWorker(std::function<void()> fn) {
        std::async(std::launch::async, [&] { gateway.Post(std::move(fn)); }).get();
    }
};

TEST_F(UiGatewayTest, CallsWaitAndRunOnTheUiThreadUntilClosed) {
    std::thread::id ranOn;
    auto done = std::async(std::launch::async, [&] {
        return gateway.Call([&] { ranOn = std::this_thread::get_id(); });
    });
    Posted call = Next();
    ASSERT_TRUE(call.task);
    EXPECT_EQ(call.delayMs, 0);
    call.task();
    EXPECT_TRUE(done.get());
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // On the UI thread itself the request runs directly instead of deadlocking.
    bool direct = false;
    EXPECT_TRUE(gateway.Call([&] { direct = true; }));
    EXPECT_TRUE(direct);
    EXPECT_EQ(Waiting(), 0u);

    // Closing releases a waiting worker; its task, run late, touches nothing.
    std::atomic<int> ran{0};
    auto waiter = std::async(std::launch::async, [&] { return gateway.Call([&] { ++ran; }); });
    Posted late = Next();
    ASSERT_TRUE(late.task);
    EXPECT_FALSE(gateway.CancelFlag());
    gateway.Close();
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(waiter.get());
    EXPECT_TRUE(gateway.CancelFlag());
    late.task();
    // New requests are refused outright, from any thread.
    EXPECT_FALSE(gateway.Call([&] { ++ran; }));
    EXPECT_FALSE(
        std::async(std::launch::async, [&] { return gateway.Call([&] { ++ran; }); }).get());
    PostFromWorker([&] { ++ran; });
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(Waiting(), 0u);
}

TEST_F(UiGatewayTest, PostsRunInOrderAndABurstWakesTheUiThreadOncePerQuietTime) {
    std::vector<int> order;
    // A lone request wakes the UI thread at once; one queued before it has run joins it.
    PostFromWorker([&] { order.push_back(1); });
    PostFromWorker([&] { order.push_back(2); });
    Posted wake = Next();
    ASSERT_TRUE(wake.task);
    EXPECT_EQ(wake.delayMs, 0);
    EXPECT_EQ(Waiting(), 0u);
    wake.task();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    // Requests within the quiet time after that wait for its end, without waking it.
    Posted look = Next();
    EXPECT_EQ(look.delayMs, UiGateway::kQuietMs);
    PostFromWorker([&] { order.push_back(3); });
    PostFromWorker([&] { order.push_back(4); });
    EXPECT_EQ(Waiting(), 0u);
    look.task();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
    // A request waited for runs after those queued before it.
    PostFromWorker([&] { order.push_back(5); });
    auto call =
        std::async(std::launch::async, [&] { return gateway.Call([&] { order.push_back(6); }); });
    Posted first = Next();  // the next look, then the call's own task
    Posted second = Next();
    Posted& callTask = first.delayMs == 0 ? first : second;
    callTask.task();
    EXPECT_TRUE(call.get());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // A look that finds nothing lets the next request wake the UI thread again.
    (first.delayMs == 0 ? second : first).task();
    EXPECT_EQ(Waiting(), 0u);
    PostFromWorker([&] { order.push_back(7); });
    Posted again = Next();
    EXPECT_EQ(again.delayMs, 0);
    // Closing drops what is queued.
    gateway.Close();
    again.task();
    EXPECT_EQ(order.back(), 6);
}

TEST(WorkerSet, RunsWorkSideBySideAndAWaitingThreadTakesTheNext) {
    WorkerSet workers;
    std::atomic<int> finished{0};
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    for (int i = 0; i < 3; ++i)
        workers.Start([&, gate] {
            gate.wait();
            ++finished;
        });
    EXPECT_EQ(workers.Running(), 3u);
    release.set_value();
    workers.JoinAll();
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(workers.Running(), 0u);

    // A thread whose work is done serves the next work, and stops counting as running.
    std::thread::id first, second;
    workers.Start([&] { first = std::this_thread::get_id(); });
    // The thread counts as running until just after its work; nothing else tells when.
    for (int i = 0; i < 10'000'000 && workers.Running() != 0; ++i) std::this_thread::yield();
    EXPECT_EQ(workers.Running(), 0u);
    workers.Start([&] { second = std::this_thread::get_id(); });
    workers.JoinAll();
    EXPECT_EQ(first, second);
    EXPECT_EQ(finished, 3);
}

}  // namespace
}  // namespace tickora
