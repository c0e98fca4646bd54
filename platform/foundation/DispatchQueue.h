#pragma once
// Dispatch queues: the main queue (run by the main run loop), the global concurrent
// queue (the worker pool, at least four threads) and labelled serial queues (run on the
// worker pool one item at a time, in order of submission).
//
// Thread rules: every operation from any thread. No queue lock is held while an item
// runs. sync() onto a queue the calling thread is already running (for the main queue:
// any call from the main thread) would deadlock; it prints one line naming the queue
// and aborts instead. A DispatchQueue is a handle: copies name the same queue, and
// items already submitted run even when the last handle is gone.
#include <functional>
#include <memory>
#include <string>

class DispatchQueue {
public:
    static const DispatchQueue& main();
    static const DispatchQueue& global();
    // A new serial queue.
    explicit DispatchQueue(std::string label);

    const std::string& label() const;

    void async(std::function<void()> work) const;
    // Runs work on the queue and returns when it is done. Except on the main queue the
    // work runs on the calling thread, once the queue's earlier items are done (a
    // serial queue) or at once (the global queue). Work dropped at shutdown returns
    // unrun.
    void sync(const std::function<void()>& work) const;

private:
    struct Queue;
    explicit DispatchQueue(std::shared_ptr<Queue> queue);
    std::shared_ptr<Queue> queue_;
};
