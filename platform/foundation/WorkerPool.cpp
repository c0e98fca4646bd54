#include "foundation/WorkerPool.h"

#include "foundation/Shutdown.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {
std::atomic<WorkerPool*> sharedPool{nullptr};
}

WorkerPool& WorkerPool::shared() {
    // Never destroyed: shutdown stops it before static destruction.
    static WorkerPool* pool = [] {
        auto* p = new WorkerPool(std::max(4u, std::thread::hardware_concurrency()));
        sharedPool = p;
        std::atexit(Foundation::shutdown);
        return p;
    }();
    return *pool;
}

void WorkerPool::stopShared() {
    if (WorkerPool* pool = sharedPool.load()) pool->stop();
}

WorkerPool::WorkerPool(unsigned count) {
    workers_.reserve(count);
    for (unsigned i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
}

bool WorkerPool::submit(Job job) {
    {
        std::lock_guard lock(mutex_);
        if (!stopping_) {
            jobs_.push_back(std::move(job));
            wake_.notify_one();
            return true;
        }
    }
    if (job.drop) job.drop();
    return false;
}

void WorkerPool::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job.run();
    }
}

void WorkerPool::stop() {
    std::deque<Job> dropped;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
        dropped.swap(jobs_);
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        // exit() called from a job runs shutdown on that worker, which cannot join itself.
        if (worker.get_id() == std::this_thread::get_id())
            worker.detach();
        else
            worker.join();
    }
    for (Job& job : dropped)
        if (job.drop) job.drop();
}
