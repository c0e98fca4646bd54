#pragma once
// The worker threads behind the global queue and the serial queues: at least four,
// whatever the core count, started on first use.
// Thread rules: submit() from any thread; stop() once, at shutdown, not from a job.
// No lock is held while a job runs.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool {
public:
    struct Job {
        std::function<void()> run;
        std::function<void()> drop; // called instead of run when the job is discarded
    };

    static WorkerPool& shared();
    // Stops the shared pool if it was ever started.
    static void stopShared();

    // After stop() the job is dropped at once and false comes back.
    bool submit(Job job);
    // Each worker finishes the job in hand; queued jobs are dropped; the workers are
    // joined.
    void stop();
    std::size_t workerCount() const { return workers_.size(); }

private:
    explicit WorkerPool(unsigned count);
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;  // guarded by mutex_
    bool stopping_ = false; // guarded by mutex_
    std::vector<std::thread> workers_;
};
