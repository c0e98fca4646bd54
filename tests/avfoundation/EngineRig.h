#pragma once
// An engine playing a test file through the gain unit into the manual sink:
//   player -> unit -> main mixer -> output -> sink.
#include "GainUnit.h"
#include "TestMedia.h"

#include "avfoundation/AVAudioEngine.h"
#include "avfoundation/ManualOutputSink.h"

#include <chrono>
#include <thread>

// Stereo at 48 kHz whose samples are all different: left k/32768, right -k/32768,
// counting from 1, so where each frame of the file went can be read back.
inline media::Channels rampAudio(std::size_t frames) {
    media::Channels audio(2, std::vector<float>(frames));
    for (std::size_t i = 0; i < frames; ++i) {
        audio[0][i] = float(i % 32000 + 1) / 32768.0f;
        audio[1][i] = -audio[0][i];
    }
    return audio;
}

struct EngineRig {
    explicit EngineRig(std::size_t fileFrames) : audio(rampAudio(fileFrames)) {
        media::writeWav16(folder.file("ramp.wav"), audio, 48000);
        file = std::make_shared<AVAudioFile>(URL::fileURL(folder.file("ramp.wav")));
        unitNode = std::make_shared<AVAudioUnit>(unit);
        engine.attach(player);
        engine.attach(unitNode);
        engine.connect(player, unitNode, std::nullopt);
        engine.connect(unitNode, engine.mainMixerNode(), std::nullopt);
    }

    // Waits (up to a second) until `done` holds.
    template <typename Condition>
    static bool eventually(Condition done) {
        for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return done();
    }

    media::TempFolder folder;
    media::Channels audio;
    std::shared_ptr<AVAudioFile> file;
    std::shared_ptr<avf::ManualOutputSink> sink = std::make_shared<avf::ManualOutputSink>();
    AVAudioEngine engine{sink};
    std::shared_ptr<GainUnit> unit = GainUnit::make(0.5f);
    std::shared_ptr<AVAudioPlayerNode> player = std::make_shared<AVAudioPlayerNode>();
    std::shared_ptr<AVAudioUnit> unitNode;
};
