#include "audiounit/RenderErrorReport.h"

#include "foundation/Console.h"
#include "foundation/RunLoop.h"
#include "foundation/Timer.h"

#include <string>

void RenderErrorReport::flush() {
    const std::uint64_t count = count_.exchange(0, std::memory_order_acquire);
    if (count == 0) return;
    std::string line = "AUExtension::ERROR: We have a problem with the kernel! " +
                       std::to_string(lastStatus_.load(std::memory_order_relaxed));
    if (count > 1) line += " (" + std::to_string(count) + " render calls failed)";
    Console::write(line + "\n");
}

void RenderErrorReport::startFlushingOnMainLoop() {
    RunLoop::main().perform([weak = weak_from_this()] {
        Timer::scheduledTimer(flushInterval, true, [weak](Timer& timer) {
            if (const auto report = weak.lock())
                report->flush();
            else
                timer.invalidate();
        });
    });
}
