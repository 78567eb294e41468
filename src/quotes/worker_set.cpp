#include "quotes/worker_set.h"

#include <atomic>

namespace tickora {

void WorkerSet::Start(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    ReapFinished();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([work = std::move(work), finished] {
        work();
        *finished = true;
    });
    workers_.push_back({std::move(thread), std::move(finished)});
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
        all.swap(workers_);
    }
    for (auto& w : all) w.thread.join();
}

std::size_t WorkerSet::Running() {
    std::lock_guard lock(mutex_);
    ReapFinished();
    return workers_.size();
}

}  // namespace tickora
