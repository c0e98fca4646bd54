#include "foundation/DispatchQueue.h"

#include "foundation/Console.h"
#include "foundation/RunLoop.h"
#include "foundation/WorkerPool.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

enum class Kind { main, global, serial };

// The queues the calling thread is running, innermost first: a serial item that
// syncs onto another queue keeps its own queue on the chain.
struct Frame {
    const void* queue;
    const Frame* outer;
};
thread_local const Frame* innermost = nullptr;

class Running {
public:
    explicit Running(const void* queue) : frame_{queue, innermost} { innermost = &frame_; }
    ~Running() { innermost = frame_.outer; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    Frame frame_;
};

bool isRunning(const void* queue) {
    for (const Frame* f = innermost; f; f = f->outer)
        if (f->queue == queue) return true;
    return false;
}

// Released when the last copy of the work holding it is destroyed: after the work
// ran, or when it was dropped unrun.
class Completion {
public:
    void signal() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
};

class SignalOnRelease {
public:
    explicit SignalOnRelease(std::shared_ptr<Completion> completion) : completion_(std::move(completion)) {}
    ~SignalOnRelease() { completion_->signal(); }
    SignalOnRelease(const SignalOnRelease&) = delete;
    SignalOnRelease& operator=(const SignalOnRelease&) = delete;

private:
    std::shared_ptr<Completion> completion_;
};

// A caller of sync() waiting for its turn on a busy serial queue.
class Turn {
public:
    void give() { settle(State::given); }
    void cancel() { settle(State::cancelled); }
    // True when the queue was handed over; false when it was dropped at shutdown.
    bool await() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return state_ != State::waiting; });
        return state_ == State::given;
    }

private:
    enum class State { waiting, given, cancelled };
    void settle(State state) {
        {
            std::lock_guard lock(mutex_);
            state_ = state;
        }
        cv_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    State state_ = State::waiting;
};

} // namespace

struct DispatchQueue::Queue : std::enable_shared_from_this<Queue> {
    Queue(Kind k, std::string l) : kind(k), label(std::move(l)) {}

    void async(std::function<void()> work);
    void syncSerial(const std::function<void()>& work);
    void drain();
    void release();
    void abandon();

    const Kind kind;
    const std::string label;

    // Serial queues only. The queue is owned either by a drain job on the worker pool
    // or by a sync() caller running its work on its own thread, as in the usual
    // dispatch libraries, so that a chain of syncs stays on one thread.
    struct Item {
        std::function<void()> work;
        std::shared_ptr<Turn> turn; // set for a waiting sync() caller
    };
    std::mutex mutex;
    std::deque<Item> items; // guarded by mutex
    bool owned = false;     // guarded by mutex: a drain job or a sync() caller has it
    bool abandoned = false; // guarded by mutex: the worker pool has stopped
};

void DispatchQueue::Queue::async(std::function<void()> work) {
    switch (kind) {
    case Kind::main:
        RunLoop::main().perform(std::move(work));
        return;
    case Kind::global:
        WorkerPool::shared().submit({[this, work = std::move(work)] {
                                         Running running(this);
                                         work();
                                     },
                                     {}});
        return;
    case Kind::serial:
        break;
    }
    {
        std::lock_guard lock(mutex);
        if (abandoned) return; // work is dropped after the lock is released
        items.push_back({std::move(work), nullptr});
        if (owned) return;
        owned = true;
    }
    auto self = shared_from_this();
    WorkerPool::shared().submit({[self] { self->drain(); }, [self] { self->abandon(); }});
}

void DispatchQueue::Queue::syncSerial(const std::function<void()>& work) {
    std::shared_ptr<Turn> turn;
    {
        std::lock_guard lock(mutex);
        if (abandoned) return;
        if (owned || !items.empty()) {
            turn = std::make_shared<Turn>();
            items.push_back({{}, turn});
        }
        owned = true;
    }
    if (turn && !turn->await()) return;
    struct Release {
        Queue* queue;
        ~Release() { queue->release(); } // also when work throws
    } release{this};
    Running running(this);
    work();
}

void DispatchQueue::Queue::drain() {
    Running running(this);
    for (;;) {
        Item item;
        {
            std::lock_guard lock(mutex);
            if (items.empty()) {
                owned = false;
                return;
            }
            item = std::move(items.front());
            items.pop_front();
        }
        if (item.turn) {
            item.turn->give(); // the sync() caller owns the queue now
            return;
        }
        item.work();
    }
}

void DispatchQueue::Queue::release() {
    {
        std::lock_guard lock(mutex);
        if (items.empty()) {
            owned = false;
            return;
        }
    }
    auto self = shared_from_this();
    WorkerPool::shared().submit({[self] { self->drain(); }, [self] { self->abandon(); }});
}

void DispatchQueue::Queue::abandon() {
    std::deque<Item> dropped;
    {
        std::lock_guard lock(mutex);
        abandoned = true;
        dropped.swap(items);
    }
    for (Item& item : dropped)
        if (item.turn) item.turn->cancel();
}

DispatchQueue::DispatchQueue(std::shared_ptr<Queue> queue) : queue_(std::move(queue)) {}

DispatchQueue::DispatchQueue(std::string label) : queue_(std::make_shared<Queue>(Kind::serial, std::move(label))) {}

const DispatchQueue& DispatchQueue::main() {
    static const auto* queue = new DispatchQueue(std::make_shared<Queue>(Kind::main, "main"));
    return *queue;
}

const DispatchQueue& DispatchQueue::global() {
    static const auto* queue = new DispatchQueue(std::make_shared<Queue>(Kind::global, "global"));
    return *queue;
}

const std::string& DispatchQueue::label() const { return queue_->label; }

void DispatchQueue::async(std::function<void()> work) const { queue_->async(std::move(work)); }

void DispatchQueue::sync(const std::function<void()>& work) const {
    Queue* q = queue_.get();
    if (q->kind == Kind::global) {
        Running running(q);
        work();
        return;
    }
    if (q->kind == Kind::main ? RunLoop::isMainThread() : isRunning(q))
        Console::fatal("DispatchQueue::sync: called on queue '" + q->label + "' from that queue, which would deadlock");
    if (q->kind == Kind::serial) {
        q->syncSerial(work);
        return;
    }
    // The main queue's work runs on the main thread only.
    auto completion = std::make_shared<Completion>();
    {
        auto release = std::make_shared<SignalOnRelease>(completion);
        q->async([&work, release] { work(); });
    }
    completion->wait();
}
