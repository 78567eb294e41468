#include "quotes/worker_set.h"

#include <atomic>

namespace tickora {

void WorkerSet::Start(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    ReapFinished();
    ++busy_;
    if (waiting_ && !next_) {
        next_ = std::move(work);
        handed_.notify_one();
        return;
    }
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, work = std::move(work), finished]() mutable {
        Serve(std::move(work));
        *finished = true;
    });
    workers_.push_back({std::move(thread), std::move(finished)});
}

void WorkerSet::Serve(std::function<void()> work) {
    for (;;) {
        work();
        work = nullptr;  // what the work holds goes now, not with the next
        std::unique_lock lock(mutex_);
        --busy_;
        if (closing_ || waiting_) return;
        waiting_ = true;
        handed_.wait(lock, [&] { return next_ || closing_; });
        waiting_ = false;
        if (!next_) return;
        work = std::move(next_);
        next_ = nullptr;
    }
}

void WorkerSet::ReapFinished() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (*it->finished) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void WorkerSet::JoinAll() {
    std::list<Worker> all;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        all.swap(workers_);
    }
    handed_.notify_all();
    for (auto& w : all) w.thread.join();
    std::lock_guard lock(mutex_);
    closing_ = false;
}

std::size_t WorkerSet::Running() {
    std::lock_guard lock(mutex_);
    ReapFinished();
    return busy_;
}

}  // namespace tickora
