#pragma once
// A graph of audio nodes that plays into an output sink:
//   player -> (audio unit) -> main mixer -> output node -> sink.
//
// The whole graph runs at the output's rate (48 kHz): a connection's format gives the
// channel count and the rate is the graph's (players convert files when they schedule
// them, so nothing converts rates while rendering).
//
// Rendering: every edit builds a new immutable render plan under the graph lock and
// publishes it through an atomic pointer; a replaced plan is freed only after the
// render thread has left it. Each sink callback is rendered in slices no longer than
// the smallest maximum frame count in the graph. The render thread copies, sums and
// calls render blocks only; it never takes the graph lock.
//
// Completions and render-error lines come from the engine's service thread.
// Thread rules: every member from control threads (none waits on the main queue);
// isRunning from any thread.
#include "avfoundation/AVAudioMixerNode.h"
#include "avfoundation/AVAudioNode.h"
#include "avfoundation/AVAudioPlayerNode.h"
#include "avfoundation/AVAudioUnit.h"
#include "avfoundation/AudioOutputSink.h"

#include <condition_variable>
#include <optional>
#include <thread>

namespace avf {
struct RenderPlan;
}

class AVAudioEngine final : private avf::AudioOutputRenderer {
public:
    // Plays into the default output (see AudioOutputChoice.h); make it on the main thread.
    AVAudioEngine();
    explicit AVAudioEngine(std::shared_ptr<avf::AudioOutputSink> sink);
    ~AVAudioEngine();
    AVAudioEngine(const AVAudioEngine&) = delete;
    AVAudioEngine& operator=(const AVAudioEngine&) = delete;

    void attach(const std::shared_ptr<AVAudioNode>& node);
    // Drops the node's connections; a player is stopped, a unit's resources released.
    void detach(const std::shared_ptr<AVAudioNode>& node);
    // From the source's output bus to the destination's input bus (a mixer: the next
    // free one). Replaces what either bus was connected to. Without a format the
    // source's output format is used; the format is set on both ends.
    void connect(const std::shared_ptr<AVAudioNode>& source, const std::shared_ptr<AVAudioNode>& destination,
                 std::optional<AVAudioFormat> format);
    void disconnectNodeInput(const std::shared_ptr<AVAudioNode>& node);

    // Made, attached and connected to the output on first use.
    std::shared_ptr<AVAudioMixerNode> mainMixerNode();
    // Its output format is the sink's: 48 kHz, 2 channels.
    std::shared_ptr<AVAudioOutputNode> outputNode() const { return output_; }

    // Allocates the units' render resources and builds the render plan.
    void prepare();
    // Throws AVAudioError when the output cannot be opened.
    void start();
    void stop();
    bool isRunning() const { return running_.load(); }

    const std::shared_ptr<avf::AudioOutputSink>& outputSink() const { return sink_; }

private:
    friend class AVAudioPlayerNode;
    struct Connection {
        AVAudioNode* source;
        AVAudioNode* destination;
        AVAudioNodeBus destinationBus;
        AVAudioFormat format;
    };

    void render(float* const* channels, std::uint32_t frames) override;

    bool isAttachedLocked(const AVAudioNode* node) const;
    void rebuildPlanLocked();
    // Publishes `plan` (null: silence) and frees the one it replaces once the render
    // thread has left it.
    void publishLocked(avf::RenderPlan* plan);
    void waitForRenderPass() const;
    void setFormatLocked(AVAudioNode& node, bool input, const AVAudioFormat& format);
    void wakeService();
    void serviceLoop();

    std::shared_ptr<avf::AudioOutputSink> sink_;
    std::shared_ptr<AVAudioOutputNode> output_;
    std::shared_ptr<AVAudioMixerNode> mainMixer_;

    std::mutex graphMutex_;
    std::vector<std::shared_ptr<AVAudioNode>> nodes_;
    std::vector<Connection> connections_;
    bool prepared_ = false;
    std::atomic<bool> running_{false};

    // Shared with the render thread.
    std::atomic<avf::RenderPlan*> plan_{nullptr};
    std::atomic<std::uint64_t> cycle_{0}; // odd while a render call runs
    double sampleTime_ = 0;               // render thread only
    std::atomic<AUAudioUnitStatus> renderStatus_{0};

    // The service thread: completions and render-error lines.
    std::mutex serviceMutex_;
    std::condition_variable serviceWake_;
    bool serviceWoken_ = false;
    bool serviceQuit_ = false;
    std::vector<std::shared_ptr<AVAudioPlayerNode>> players_;
    std::thread service_;
};
