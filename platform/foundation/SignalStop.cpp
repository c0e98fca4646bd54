#include "foundation/SignalStop.h"

#include "foundation/RunLoop.h"

#include <atomic>
#include <cerrno>
#include <semaphore.h>

namespace {
sem_t posted;
std::atomic<bool> quitting{false};

void onSignal(int signal) {
    int saved = errno;
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(signal, &dfl, nullptr);
    sem_post(&posted);
    errno = saved;
}

void relay() {
    for (;;) {
        while (sem_wait(&posted) != 0 && errno == EINTR) {}
        if (quitting.load()) return;
        RunLoop::main().stop();
    }
}
} // namespace

SignalStop::SignalStop() {
    sem_init(&posted, 0, 0);
    quitting = false;
    relay_ = std::thread(relay);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, &oldInt_);
    sigaction(SIGTERM, &sa, &oldTerm_);
}

SignalStop::~SignalStop() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    quitting = true;
    sem_post(&posted);
    relay_.join();
    sem_destroy(&posted);
}
