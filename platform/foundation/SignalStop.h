#pragma once
// While one of these lives, SIGINT and SIGTERM stop the main run loop. The handler
// only posts a semaphore (async-signal-safe); a relay thread makes the stop call.
// The first signal puts back the default action, so a second one ends the process.
// Thread rules: made and destroyed on the main thread, by RunLoop::run().
#include <csignal>
#include <thread>

class SignalStop {
public:
    SignalStop();
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    std::thread relay_;
};
