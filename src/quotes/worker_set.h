#pragma once
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace tickora {

// Worker threads that shut-down can join. Finished threads are reaped whenever a new
// one starts, so a long run does not collect them.
class WorkerSet {
  public:
    WorkerSet() = default;
    ~WorkerSet() { JoinAll(); }
    WorkerSet(const WorkerSet&) = delete;
    WorkerSet& operator=(const WorkerSet&) = delete;

    void Start(std::function<void()> work);
    void JoinAll();
    std::size_t Running();

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void ReapFinished();  // with mutex_ held

    std::mutex mutex_;
    std::list<Worker> workers_;
};

}  // namespace tickora
