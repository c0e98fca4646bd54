#include "foundation/Console.h"

#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace Console {
namespace {
std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}
Sink& currentSink() {
    static Sink s;
    return s;
}
void writeStdout(std::string_view text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(STDOUT_FILENO, p, left);
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
    if (currentSink()) currentSink()(text);
    else writeStdout(text);
}

Sink setSink(Sink sink) {
    std::lock_guard lock(sinkMutex());
    Sink old = std::move(currentSink());
    currentSink() = std::move(sink);
    return old;
}

} // namespace Console
