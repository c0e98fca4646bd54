#include "EngineRig.h"

#include "avfoundation/WavFileOutputSink.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>

namespace {

using namespace std::chrono_literals;

struct WavFile {
    std::vector<float> left, right;
};

// Checks the header against the file and returns the audio. A process killed mid-cycle
// may leave the last cycle's audio after the data the header counts; readers ignore it.
WavFile readWav(const std::string& path, bool killed = false) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    WavFile wav;
    if (bytes.size() < 44) {
        ADD_FAILURE() << "no header in " << path;
        return wav;
    }
    std::uint32_t header[11];
    std::memcpy(header, bytes.data(), 44);
    EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8) + bytes.substr(36, 4), "RIFFWAVEfmt data");
    // fmt: size 16; float, 2 channels; 48 kHz; bytes per second; 8-byte frames of 32 bits
    EXPECT_EQ(std::vector<std::uint32_t>(header + 4, header + 9),
              (std::vector<std::uint32_t>{16u, 3u | (2u << 16), 48000u, 48000u * 8, 8u | (32u << 16)}));
    if (killed) {
        EXPECT_LE(header[10], bytes.size() - 44);
        EXPECT_LE(bytes.size() - 44 - header[10], 8192u * 8); // one cycle at most
        EXPECT_LE(header[1], header[10] + 36);
    } else {
        EXPECT_EQ(header[1], bytes.size() - 8);
        EXPECT_EQ(header[10], bytes.size() - 44);
    }
    EXPECT_EQ(header[10] % 8, 0u);
    std::vector<float> samples(std::min<std::size_t>(header[10], bytes.size() - 44) / 4);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 4);
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        wav.left.push_back(samples[i]);
        wav.right.push_back(samples[i + 1]);
    }
    return wav;
}

void playInto(const std::string& wavPath, const std::string& filePath, bool interrupt) {
    auto file = std::make_shared<AVAudioFile>(URL::fileURL(filePath));
    AVAudioEngine engine(std::make_shared<avf::WavFileOutputSink>(wavPath));
    auto player = std::make_shared<AVAudioPlayerNode>();
    engine.attach(player);
    engine.connect(player, engine.mainMixerNode(), file->processingFormat());
    player->scheduleFile(file, nullptr);
    engine.start();
    player->play();
    std::this_thread::sleep_for(250ms);
    if (interrupt) std::raise(SIGINT);
    engine.stop();
}

void expectPlayed(const WavFile& wav, const media::Channels& audio) {
    const auto start = std::find_if(wav.left.begin(), wav.left.end(), [](float v) { return v != 0; });
    ASSERT_NE(start, wav.left.end());
    const auto offset = std::size_t(start - wav.left.begin());
    ASSERT_GE(wav.left.size(), offset + audio[0].size());
    EXPECT_TRUE(std::equal(audio[0].begin(), audio[0].end(), wav.left.begin() + long(offset)));
    EXPECT_TRUE(std::equal(audio[1].begin(), audio[1].end(), wav.right.begin() + long(offset)));
}

TEST(WavSink, FileIsValidAfterANormalStopAndAfterSIGINT) {
    media::TempFolder folder;
    const auto audio = rampAudio(4800);
    media::writeWav16(folder.file("in.wav"), audio, 48000);
    playInto(folder.file("stopped.wav"), folder.file("in.wav"), false);
    const WavFile stopped = readWav(folder.file("stopped.wav"));
    EXPECT_GE(stopped.left.size(), 48000u / 10);
    expectPlayed(stopped, audio);

    EXPECT_EXIT(playInto(folder.file("interrupted.wav"), folder.file("in.wav"), true), testing::KilledBySignal(SIGINT),
                "");
    expectPlayed(readWav(folder.file("interrupted.wav"), true), audio);
}

} // namespace
