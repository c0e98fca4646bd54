#pragma once
// Plays scheduled files, one after another, into its output.
//
// scheduleFile converts the whole file to the player's output format on the calling
// thread; the render thread only copies. Each segment's completion runs once, on the
// engine's service thread: after the segment's last frame has rendered, or when stop()
// flushes it (queued before stop() returns).
// Thread rules: control threads. The render thread never waits for them: while stop()
// flushes, the player renders silence for at most one slice.
#include "avfoundation/AVAudioFile.h"
#include "avfoundation/AVAudioNode.h"
#include "avfoundation/SpscRing.h"

#include <functional>

class AVAudioPlayerNode final : public AVAudioNode {
public:
    using Completion = std::function<void()>;

    AVAudioPlayerNode();
    ~AVAudioPlayerNode() override;

    // Appends the whole file (played as soon as the player plays). Logs and drops it
    // when the player is not attached, the file cannot be converted, or 32 segments
    // are already waiting.
    void scheduleFile(const std::shared_ptr<AVAudioFile>& file, Completion completion);
    // A no-op with a line when the engine is not running.
    void play();
    // Keeps the position.
    void pause();
    // Flushes every scheduled segment and clears the position.
    void stop();
    bool isPlaying() const { return state_.playing.load(std::memory_order_relaxed); }

private:
    friend class AVAudioEngine;
    struct Segment {
        std::shared_ptr<const AVAudioPCMBuffer> buffer;
        Completion completion;
    };
    // Shared by the render step and the control side.
    struct State {
        std::atomic<bool> playing{false};
        std::atomic<bool> busy{false};        // held by the render thread or by stop()
        avf::SpscRing<Segment, 32> scheduled; // control -> render
        avf::SpscRing<Segment, 128> finished; // render (or stop()) -> service thread
        Segment* current = nullptr;           // under `busy`
        AVAudioFrameCount position = 0;       // under `busy`
    };
    struct Step;

    std::unique_ptr<avf::RenderStep> makeRenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
                                                    std::vector<const avf::RenderStep*> inputs) override;
    // Service thread: runs the completions of finished segments. True if any ran.
    bool runFinishedCompletions();

    State state_;
    std::mutex scheduleMutex_; // one producer at a time for `scheduled`
};
