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

std::uint32_t read32(const std::string& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// Checks the header against the file and returns the audio.
WavFile readWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    WavFile wav;
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) return wav;
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(read32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(read32(bytes, 16), 16u);
    EXPECT_EQ(read32(bytes, 20), 3u | (2u << 16));  // float, 2 channels
    EXPECT_EQ(read32(bytes, 24), 48000u);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    const std::uint32_t size = read32(bytes, 40);
    EXPECT_EQ(size, bytes.size() - 44);
    EXPECT_EQ(size % 8, 0u);
    for (std::size_t at = 44; at + 8 <= bytes.size(); at += 8) {
        float l, r;
        std::memcpy(&l, bytes.data() + at, 4);
        std::memcpy(&r, bytes.data() + at + 4, 4);
        wav.left.push_back(l);
        wav.right.push_back(r);
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

TEST(WavSink, FileIsValidAfterANormalStop) {
    media::TempFolder folder;
    const auto audio = rampAudio(4800);
    media::writeWav16(folder.file("in.wav"), audio, 48000);
    playInto(folder.file("out.wav"), folder.file("in.wav"), false);
    const WavFile wav = readWav(folder.file("out.wav"));
    EXPECT_GE(wav.left.size(), 48000u / 10);
    expectPlayed(wav, audio);
}

TEST(WavSink, FileIsValidAfterSIGINT) {
    media::TempFolder folder;
    const auto audio = rampAudio(4800);
    media::writeWav16(folder.file("in.wav"), audio, 48000);
    EXPECT_EXIT(playInto(folder.file("out.wav"), folder.file("in.wav"), true),
                testing::KilledBySignal(SIGINT), "");
    const WavFile wav = readWav(folder.file("out.wav"));
    expectPlayed(wav, audio);
}

} // namespace
