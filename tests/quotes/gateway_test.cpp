#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <future>

#include "quotes/ui_gateway.h"
#include "quotes/worker_set.h"

namespace tickora {
namespace {

using namespace std::chrono_literals;

// A task queue that this test's thread drains on demand, standing in for the UI thread's
// event loop (the gateway is constructed on this thread, so it is the UI thread).
class TaskQueue {
  public:
    void Post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        ready_.notify_all();
    }
    // Runs queued tasks until pred() holds or the time is up.
    template <typename Pred>
    bool RunUntil(Pred pred, std::chrono::milliseconds limit = 5000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!pred()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                if (std::chrono::steady_clock::now() > end) return pred();
                if (!ready_.wait_for(lock, 5ms, [&] { return !tasks_.empty(); })) continue;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
        return true;
    }
    std::size_t Pending() {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
};

TEST(UiGateway, RunsRequestsOnTheUiThreadAndWaits) {
    TaskQueue queue;
    UiGateway gateway([&](std::function<void()> t) { queue.Post(std::move(t)); });
    const auto ui = std::this_thread::get_id();
    std::thread::id ranOn;
    auto done = std::async(std::launch::async, [&] {
        return gateway.Call([&] { ranOn = std::this_thread::get_id(); });
    });
    ASSERT_TRUE(queue.RunUntil([&] { return done.wait_for(0ms) == std::future_status::ready; }));
    EXPECT_TRUE(done.get());
    EXPECT_EQ(ranOn, ui);

    // On the UI thread itself the request runs directly instead of deadlocking.
    bool direct = false;
    EXPECT_TRUE(gateway.Call([&] { direct = true; }));
    EXPECT_TRUE(direct);
    EXPECT_EQ(queue.Pending(), 0u);
}

TEST(UiGateway, CloseReleasesWaitersAndLateRequestsDoNothing) {
    TaskQueue queue;
    UiGateway gateway([&](std::function<void()> t) { queue.Post(std::move(t)); });
    std::atomic<int> ran{0};
    auto waiter = std::async(std::launch::async, [&] { return gateway.Call([&] { ++ran; }); });
    // Wait (bounded) until the request is queued, then close without running it.
    for (int i = 0; i < 500 && queue.Pending() == 0; ++i) std::this_thread::sleep_for(2ms);
    ASSERT_EQ(queue.Pending(), 1u);
    EXPECT_FALSE(gateway.CancelFlag());
    gateway.Close();
    ASSERT_EQ(waiter.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(waiter.get());
    EXPECT_TRUE(gateway.CancelFlag());
    // The queued task now runs after closing: it must not touch anything.
    queue.RunUntil([&] { return queue.Pending() == 0; });
    EXPECT_EQ(ran, 0);
    // New requests are refused outright, from any thread.
    EXPECT_FALSE(gateway.Call([&] { ++ran; }));
    EXPECT_FALSE(
        std::async(std::launch::async, [&] { return gateway.Call([&] { ++ran; }); }).get());
    EXPECT_EQ(ran, 0);
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

    workers.Start([&] { ++finished; });
    for (int i = 0; i < 500 && workers.Running() != 0; ++i) std::this_thread::sleep_for(2ms);
    EXPECT_EQ(workers.Running(), 0u);  // a finished thread is joined without JoinAll
    EXPECT_EQ(finished, 4);
}

}  // namespace
}  // namespace tickora
