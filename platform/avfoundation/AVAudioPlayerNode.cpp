#include "avfoundation/AVAudioPlayerNode.h"

#include "avfoundation/AVAudioEngine.h"
#include "avfoundation/AVAudioError.h"
#include "avfoundation/RenderPlan.h"
#include "foundation/Console.h"

#include <algorithm>
#include <thread>

struct AVAudioPlayerNode::Step final : avf::RenderStep {
    Step(const AVAudioFormat& format, AVAudioFrameCount capacity, State& state)
        : RenderStep(format, capacity, {}), state(state) {}

    void render(const AudioTimeStamp&, AVAudioFrameCount frames) override {
        // stop() holds the state: this slice is silent rather than waited for.
        if (state.busy.exchange(true, std::memory_order_acquire)) {
            avf::silence(output, frames);
            return;
        }
        AVAudioFrameCount filled = 0;
        if (state.playing.load(std::memory_order_relaxed)) {
            while (filled < frames) {
                if (state.current == nullptr) {
                    state.current = state.scheduled.pop();
                    state.position = 0;
                    if (state.current == nullptr) break;
                }
                const AVAudioPCMBuffer& source = *state.current->buffer;
                const AVAudioFrameCount n = std::min(frames - filled, source.frameLength() - state.position);
                float* to[kAudioBufferListCapacity];
                for (AVAudioChannelCount c = 0; c < output.format().channelCount(); ++c)
                    to[c] = output.floatChannelData()[c] + filled;
                avf::copyMapped(to, output.format().channelCount(), source.floatChannelData(),
                                source.format().channelCount(), state.position, n);
                state.position += n;
                filled += n;
                if (state.position == source.frameLength()) {
                    if (!state.finished.push(state.current)) break; // handed over next slice
                    state.current = nullptr;
                }
            }
        }
        for (AVAudioChannelCount c = 0; c < output.format().channelCount(); ++c)
            std::fill(output.floatChannelData()[c] + filled, output.floatChannelData()[c] + frames, 0.0f);
        state.busy.store(false, std::memory_order_release);
    }

    State& state;
};

AVAudioPlayerNode::AVAudioPlayerNode() = default;

AVAudioPlayerNode::~AVAudioPlayerNode() {
    // No render plan refers to the player any more; what is left never completes.
    delete state_.current;
    while (Segment* s = state_.scheduled.pop()) delete s;
    while (Segment* s = state_.finished.pop()) delete s;
}

void AVAudioPlayerNode::scheduleFile(const std::shared_ptr<AVAudioFile>& file, Completion completion) {
    AVAudioEngine* owner = engine();
    if (owner == nullptr) {
        Console::write("AVAudioPlayerNode: ERROR: scheduleFile: the player is not attached to an engine.\n");
        return;
    }
    if (!file) {
        Console::write("AVAudioPlayerNode: ERROR: scheduleFile: no file given.\n");
        return;
    }
    std::unique_ptr<Segment> segment;
    try {
        segment = std::make_unique<Segment>();
        segment->buffer = file->converted(outputFormat(0));
    } catch (const std::exception& e) { // AVAudioError, or no memory for the segment
        Console::write("AVAudioPlayerNode: ERROR: scheduleFile: " + std::string(e.what()) + "\n");
        return;
    }
    segment->completion = std::move(completion);
    std::lock_guard lock(scheduleMutex_);
    if (!state_.scheduled.push(segment.get())) {
        Console::write("AVAudioPlayerNode: ERROR: scheduleFile: too many segments are waiting.\n");
        return;
    }
    segment.release();
}

void AVAudioPlayerNode::play() {
    AVAudioEngine* owner = engine();
    if (owner == nullptr || !owner->isRunning()) {
        Console::write("AVAudioPlayerNode: play(): the engine is not running.\n");
        return;
    }
    state_.playing.store(true, std::memory_order_relaxed);
}

void AVAudioPlayerNode::pause() { state_.playing.store(false, std::memory_order_relaxed); }

void AVAudioPlayerNode::stop() {
    state_.playing.store(false, std::memory_order_relaxed);
    while (state_.busy.exchange(true, std::memory_order_acquire)) std::this_thread::yield();
    {
        std::lock_guard lock(scheduleMutex_); // also the only consumer of `scheduled` now
        if (state_.current != nullptr) {
            while (!state_.finished.push(state_.current)) std::this_thread::yield();
            state_.current = nullptr;
        }
        while (Segment* s = state_.scheduled.pop())
            while (!state_.finished.push(s)) std::this_thread::yield();
        state_.position = 0;
    }
    state_.busy.store(false, std::memory_order_release);
    if (AVAudioEngine* owner = engine()) owner->wakeService();
}

bool AVAudioPlayerNode::runFinishedCompletions() {
    bool ran = false;
    while (Segment* s = state_.finished.pop()) {
        std::unique_ptr<Segment> segment(s);
        if (segment->completion) segment->completion();
        ran = true;
    }
    return ran;
}

std::unique_ptr<avf::RenderStep> AVAudioPlayerNode::makeRenderStep(const AVAudioFormat& format,
                                                                   AVAudioFrameCount capacity,
                                                                   std::vector<const avf::RenderStep*>) {
    return std::make_unique<Step>(format, capacity, state_);
}
