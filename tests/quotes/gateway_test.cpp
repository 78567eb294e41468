#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "quotes/ui_gateway.h"
#include "quotes/worker_set.h"

namespace tickora {
namespace {

using namespace std::chrono_literals;

TEST(UiGateway, RunsRequestsOnTheUiThreadUntilClosed) {
    // Tasks for the UI thread, which is this test's thread (the gateway is made on it). The
    // test expects two; a third post would throw and fail the call that made it.
    std::promise<std::function<void()>> posts[2];
    std::atomic<int> posted{0};
    UiGateway gateway(
        [&](std::function<void()> task) { posts[std::min(posted++, 1)].set_value(task); });
    std::thread::id ranOn;
    auto done = std::async(std::launch::async, [&] {
        return gateway.Call([&] { ranOn = std::this_thread::get_id(); });
    });
    auto first = posts[0].get_future();
    ASSERT_EQ(first.wait_for(5s), std::future_status::ready);
    first.get()();
    EXPECT_TRUE(done.get());
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // On the UI thread itself the request runs directly instead of deadlocking.
    bool direct = false;
    EXPECT_TRUE(gateway.Call([&] { direct = true; }));
    EXPECT_TRUE(direct);
    EXPECT_EQ(posted, 1);

    // Closing releases a waiting worker; its task, run late, touches nothing.
    std::atomic<int> ran{0};
    auto waiter = std::async(std::launch::async, [&] { return gateway.Call([&] { ++ran; }); });
    auto late = posts[1].get_future();
    ASSERT_EQ(late.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(gateway.CancelFlag());
    gateway.Close();
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(waiter.get());
    EXPECT_TRUE(gateway.CancelFlag());
    late.get()();
    // New requests are refused outright, from any thread.
    EXPECT_FALSE(gateway.Call([&] { ++ran; }));
    EXPECT_FALSE(
        std::async(std::launch::async, [&] { return gateway.Call([&] { ++ran; }); }).get());
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(posted, 2);
}

TEST(WorkerSet, JoinsEveryWorkerAndReapsFinishedOnes) {
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

    // A finished thread is joined without JoinAll.
    workers.Start([&] { ++finished; });
    // The thread ends just after its work; nothing else tells when.
    for (int i = 0; i < 10'000'000 && workers.Running() != 0; ++i) std::this_thread::yield();
    EXPECT_EQ(workers.Running(), 0u);
    EXPECT_EQ(finished, 4);
}

}  // namespace
}  // namespace tickora
