#pragma once
// Carries failed render statuses off the render thread: the render thread only counts
// and keeps the last status; the line is printed later, on the main run loop (every
// 0.25 s while the report lives) or by an explicit flush.
// Thread rules: note() on the render thread (no lock, no allocation, no system call);
// flush() and startFlushingOnMainLoop() on any other thread.
#include "audiotoolbox/AUAudioTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>

class RenderErrorReport : public std::enable_shared_from_this<RenderErrorReport> {
public:
    static constexpr double flushInterval = 0.25;

    void note(OSStatus status) noexcept {
        lastStatus_.store(status, std::memory_order_relaxed);
        count_.fetch_add(1, std::memory_order_release);
    }
    // "AUExtension::ERROR: We have a problem with the kernel! <status>" for the failures
    // noted since the last flush, with their number when there was more than one.
    void flush();
    void startFlushingOnMainLoop();

private:
    std::atomic<OSStatus> lastStatus_{0};
    std::atomic<std::uint64_t> count_{0};
};
