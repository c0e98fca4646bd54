#include "foundation/Console.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unistd.h>

namespace Console {
namespace {
// Never destroyed: lines queued on the main queue are written at exit, after static
// destructors may have begun.
std::mutex& sinkMutex() {
    static auto* m = new std::mutex;
    return *m;
}
Sink& currentSink() {
    static auto* s = new Sink;
    return *s;
}
void writeFd(int fd, std::string_view text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}
} // namespace

void write(std::string_view text) {
    std::lock_guard lock(sinkMutex());
    if (currentSink())
        currentSink()(text);
    else
        writeFd(STDOUT_FILENO, text);
}

Sink setSink(Sink sink) {
    std::lock_guard lock(sinkMutex());
    Sink old = std::move(currentSink());
    currentSink() = std::move(sink);
    return old;
}

void fatal(std::string_view line) {
    writeFd(STDERR_FILENO, std::string(line) + "\n");
    std::abort();
}

} // namespace Console
