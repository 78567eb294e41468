#pragma once
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace tickora {

// Worker threads that shut-down can join. A thread whose work is done waits for the next
// work instead of ending, so that what it keeps per thread (libcurl's handles, a converter)
// serves the next pass as well; at most one waits, any other ends and is reaped when work
// next starts. Work that arrives while every thread is busy gets a thread of its own.
class WorkerSet {
  public:
    WorkerSet() = default;
    ~WorkerSet() { JoinAll(); }
    WorkerSet(const WorkerSet&) = delete;
    WorkerSet& operator=(const WorkerSet&) = delete;

    void Start(std::function<void()> work);
    // Waits for all work to end and ends every thread.
    void JoinAll();
    // The threads that have work.
    std::size_t Running();

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    // A thread's life: its first work, then whatever it is handed while it waits.
    void Serve(std::function<void()> work);
    void ReapFinished();  // with mutex_ held

    std::mutex mutex_;
    std::condition_variable handed_;
    std::list<Worker> workers_;
    std::function<void()> next_;  // work handed to the waiting thread
    bool waiting_ = false;        // a thread waits for work
    bool closing_ = false;
    std::size_t busy_ = 0;
};

}  // namespace tickora
