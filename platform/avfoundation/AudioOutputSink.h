#pragma once
// Where the engine's output goes: the sound card, a WAV file, a silent paced sink or a
// sink that tests pull by hand. Every sink takes 48 kHz float stereo, one array per
// channel, and has one render thread: the thread that calls render().
#include <cstdint>
#include <string>

namespace avf {

constexpr double kOutputSampleRate = 48000.0;
constexpr std::uint32_t kOutputChannels = 2;
// Frames a paced sink asks for per cycle.
constexpr std::uint32_t kOutputCycleFrames = 512;

// The engine's side. render() runs on the sink's render thread: it fills both channels
// with `frames` frames and allocates, locks, logs and waits on nothing.
class AudioOutputRenderer {
public:
    virtual void render(float* const* channels, std::uint32_t frames) = 0;

protected:
    ~AudioOutputRenderer() = default;
};

// Thread rules: start and stop on a control thread, never concurrently. After stop()
// returns the renderer is no longer called.
class AudioOutputSink {
public:
    virtual ~AudioOutputSink() = default;
    // Throws AVAudioError when the output cannot be opened.
    virtual void start(AudioOutputRenderer& renderer) = 0;
    virtual void stop() = 0;
    // For lines and errors: "the sound card", "the WAV file '/x.wav'" ...
    virtual std::string description() const = 0;
};

} // namespace avf
