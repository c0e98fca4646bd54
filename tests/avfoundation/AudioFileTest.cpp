#include "TestMedia.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/AVAudioFile.h"
#include "foundation/Console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>

namespace {

std::vector<float> channel(const AVAudioPCMBuffer& buffer, unsigned c) {
    const float* p = buffer.floatChannelData()[c];
    return {p, p + buffer.frameLength()};
}

std::string openError(const std::string& path) {
    try {
        AVAudioFile file(URL::fileURL(path));
    } catch (const AVAudioError& e) {
        return e.localizedDescription();
    }
    return "opened";
}

TEST(AudioFile, WavAndFlacReadBackExactly) {
    media::TempFolder folder;
    const auto audio = media::quantised16(media::tone(2, 12345, 44100));
    media::writeWav16(folder.file("a.wav"), audio, 44100);
    media::encode(folder.file("a.flac"), "flac", audio, 44100);
    for (const char* name : {"a.wav", "a.flac"}) {
        SCOPED_TRACE(name);
        AVAudioFile file(URL::fileURL(folder.file(name)));
        EXPECT_EQ(file.processingFormat(), AVAudioFormat(44100, 2));
        EXPECT_EQ(file.length(), 12345);
        const auto buffer = file.converted(file.processingFormat());
        EXPECT_EQ(channel(*buffer, 0), audio[0]);
        EXPECT_EQ(channel(*buffer, 1), audio[1]);
    }
}

TEST(AudioFile, AacLoopHasTheWrittenLengthAndContent) {
    media::TempFolder folder;
    // Not a whole number of 1024-frame packets, so the end padding must be cut; a whole
    // number of milliseconds, which is as exact as the m4a container keeps the end.
    const std::size_t frames = 48000 * 2 + 48 * 7;
    const auto audio = media::tone(2, frames, 48000);
    media::encode(folder.file("loop.m4a"), "aac", audio, 48000);
    AVAudioFile file(URL::fileURL(folder.file("loop.m4a")));
    EXPECT_EQ(file.processingFormat(), AVAudioFormat(48000, 2));
    ASSERT_EQ(file.length(), AVAudioFramePosition(frames));
    const auto buffer = file.converted(file.processingFormat());
    for (unsigned c = 0; c < 2; ++c) {
        // Priming removed: the decoded signal lines up with the written one, within the
        // codec's error (signal to error above 20 dB away from the edges).
        double signal = 0, error = 0;
        for (std::size_t i = 2048; i < frames - 2048; ++i) {
            const double d = buffer->floatChannelData()[c][i] - audio[c][i];
            signal += double(audio[c][i]) * audio[c][i];
            error += d * d;
        }
        EXPECT_GT(10 * std::log10(signal / error), 20.0) << "channel " << c;
    }
}

TEST(AudioFile, ConversionResamplesAndMapsChannels) {
    media::TempFolder folder;
    const auto mono = media::quantised16(media::tone(1, 44100, 44100));
    media::writeWav16(folder.file("mono.wav"), mono, 44100);
    AVAudioFile file(URL::fileURL(folder.file("mono.wav")));
    // Same rate: mono duplicated exactly.
    const auto stereo = file.converted(AVAudioFormat(44100, 2));
    EXPECT_EQ(channel(*stereo, 0), mono[0]);
    EXPECT_EQ(channel(*stereo, 1), mono[0]);
    // Another rate: the exact scaled length, and a 220 Hz sine stays a 220 Hz sine.
    const auto at48 = file.converted(AVAudioFormat(48000, 2));
    ASSERT_EQ(at48->frameLength(), 48000u);
    EXPECT_EQ(channel(*at48, 0), channel(*at48, 1));
    double worst = 0;
    for (std::size_t i = 1000; i < 47000; ++i)
        worst = std::max(worst, std::abs(at48->floatChannelData()[0][i] -
                                         0.5 * std::sin(2.0 * M_PI * 220.0 * double(i) / 48000.0)));
    EXPECT_LT(worst, 0.02);  // the test signal's own noise is 0.01
    EXPECT_EQ(file.converted(AVAudioFormat(48000, 2)), at48);  // kept for the next pass
}

TEST(AudioFile, BadFilesFailWithClearErrors) {
    media::TempFolder folder;
    EXPECT_EQ(openError(folder.file("none.m4a")),
              "The audio file '" + folder.file("none.m4a") + "' could not be read: No such file or directory.");
    EXPECT_NE(openError(folder.path()).find("it is not a regular file"), std::string::npos);
    ASSERT_EQ(mkfifo(folder.file("fifo.wav").c_str(), 0600), 0);
    EXPECT_NE(openError(folder.file("fifo.wav")).find("not a regular file"), std::string::npos);

    // Corrupt files: random bytes, and an m4a cut short.
    const auto audio = media::tone(2, 48000, 48000);
    media::encode(folder.file("ok.m4a"), "aac", audio, 48000);
    std::ofstream(folder.file("garbage.m4a"), std::ios::binary) << std::string(4000, '\x5a');
    EXPECT_NE(openError(folder.file("garbage.m4a")).find("could not be read"), std::string::npos);
    std::filesystem::copy_file(folder.file("ok.m4a"), folder.file("cut.m4a"));
    std::filesystem::resize_file(folder.file("cut.m4a"), 40);
    EXPECT_NE(openError(folder.file("cut.m4a")).find("could not be read"), std::string::npos);

    // A playlist naming a real file is not followed.
    std::ofstream(folder.file("list.m3u8"))
        << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" << folder.file("ok.m4a") << "\n#EXT-X-ENDLIST\n";
    EXPECT_NE(openError(folder.file("list.m3u8")).find("not an audio file of a known format"), std::string::npos);
    // Only local files.
    try {
        AVAudioFile file(*URL::parse("http://localhost/a.m4a"));
        ADD_FAILURE();
    } catch (const AVAudioError& e) {
        EXPECT_NE(std::string(e.what()).find("only local files"), std::string::npos);
    }

    // A WAV header claiming 11 minutes over a sparse data chunk.
    media::writeWav16(folder.file("long.wav"), media::tone(1, 16, 8000), 8000);
    const std::uint32_t bytes = 8000 * 2 * 660;
    std::fstream(folder.file("long.wav"), std::ios::in | std::ios::out | std::ios::binary)
        .seekp(40)
        .write(reinterpret_cast<const char*>(&bytes), 4);
    std::filesystem::resize_file(folder.file("long.wav"), 44 + bytes);
    EXPECT_NE(openError(folder.file("long.wav")).find("longer than 10 minutes"), std::string::npos);
}

} // namespace
