#include "TestMedia.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/AVAudioFile.h"
#include "foundation/Console.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

std::vector<float> channel(const AVAudioPCMBuffer& buffer, unsigned c) {
    const float* p = buffer.floatChannelData()[c];
    return {p, p + buffer.frameLength()};
}

template <typename F>
std::string errorOf(F action) {
    try {
        action();
    } catch (const AVAudioError& e) {
        return e.localizedDescription();
    }
    return "done";
}

std::string openError(const std::string& path) {
    return errorOf([&] { AVAudioFile file(URL::fileURL(path)); });
}

// A mono or wider 16-bit WAV whose header claims `bytes` of data, over a sparse data
// chunk of that size or, unless `sparse`, one frame.
std::string claimWav(const std::string& path, int channels, std::uint32_t rate, std::uint32_t bytes,
                     bool sparse = true) {
    media::writeWav16(path, media::Channels(std::size_t(channels), {0.0f}), int(rate));
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .seekp(40)
        .write(reinterpret_cast<const char*>(&bytes), 4);
    if (sparse) std::filesystem::resize_file(path, 44 + std::uintmax_t(bytes));
    return path;
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
        worst = std::max(
            worst, std::abs(at48->floatChannelData()[0][i] - 0.5 * std::sin(2.0 * M_PI * 220.0 * double(i) / 48000.0)));
    EXPECT_LT(worst, 0.02);                                   // the test signal's own noise is 0.01
    EXPECT_EQ(file.converted(AVAudioFormat(48000, 2)), at48); // kept for the next pass
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
    std::ofstream(folder.file("list.m3u8")) << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n"
                                            << folder.file("ok.m4a") << "\n#EXT-X-ENDLIST\n";
    EXPECT_NE(openError(folder.file("list.m3u8")).find("not an audio file of a known format"), std::string::npos);
    // Only local files.
    try {
        AVAudioFile file(*URL::parse("http://localhost/a.m4a"));
        ADD_FAILURE();
    } catch (const AVAudioError& e) {
        EXPECT_NE(std::string(e.what()).find("only local files"), std::string::npos);
    }
}

// Rates and sizes that would take unbounded memory or time are refused with a reason,
// before their memory is taken.
TEST(AudioFile, AbsurdRatesAndSizesAreRefused) {
    media::TempFolder folder;
    const struct {
        int channels;
        std::uint32_t rate, bytes;
        const char* reason;
    } cases[] = {
        {1, 8000, 8000 * 2 * 660, "it is longer than 10 minutes"},
        {8, 1, 9600, "its sample rate of 1 Hz is outside 1000 to 768000 Hz"},
        {1, 738000000, 1200, "its sample rate of 738000000 Hz is outside 1000 to 768000 Hz"},
        {8, 384000, 8 * 2 * 384000 * 60, "it holds more than 57600000 samples"},
    };
    for (const auto& c : cases) {
        const auto path = claimWav(folder.file(std::to_string(c.rate) + ".wav"), c.channels, c.rate, c.bytes);
        EXPECT_NE(openError(path).find(c.reason), std::string::npos) << c.rate;
    }
    // A minute at 1 kHz opens, but is made neither into more than the limit nor at a
    // rate off the range.
    const AVAudioFile file(URL::fileURL(claimWav(folder.file("slow.wav"), 1, 1000, 1000 * 2 * 60)));
    EXPECT_EQ(errorOf([&] { file.converted(AVAudioFormat(768000, 2)); }),
              "The audio file '" + folder.file("slow.wav") +
                  "' could not be converted to 768000 Hz: that would be more than 57600000 samples.");
    EXPECT_NE(errorOf([&] { file.converted(AVAudioFormat(1e9, 2)); }).find("only rates from 1000 to 768000 Hz"),
              std::string::npos);
}

// What decodes decides the length: a header claiming 11 minutes over one frame of data
// is a one-frame file. A chained Ogg stream whose rate changes is refused.
TEST(AudioFile, LengthIsWhatDecodes) {
    media::TempFolder folder;
    const auto claims = claimWav(folder.file("claims.wav"), 1, 8000, 8000 * 2 * 660, false);
    EXPECT_EQ(AVAudioFile(URL::fileURL(claims)).length(), 1);
    media::encode(folder.file("a.ogg"), "flac", media::tone(2, 44100, 44100), 44100, 1);
    media::encode(folder.file("c.ogg"), "flac", media::tone(2, 22050, 22050), 22050, 2);
    std::ofstream(folder.file("ac.ogg"), std::ios::binary)
        << std::ifstream(folder.file("a.ogg")).rdbuf() << std::ifstream(folder.file("c.ogg")).rdbuf();
    EXPECT_EQ(openError(folder.file("ac.ogg")),
              "The audio file '" + folder.file("ac.ogg") +
                  "' could not be read: its sample rate changes from 44100 Hz to 22050 Hz.");
}

// NaN and infinities read as 0, counted in one line; the rest is kept exactly.
TEST(AudioFile, NonFiniteSamplesReadAsZeroWithOneWarning) {
    media::TempFolder folder;
    auto audio = media::tone(2, 1000, 48000);
    audio[0][10] = std::numeric_limits<float>::quiet_NaN();
    audio[1][20] = std::numeric_limits<float>::infinity();
    audio[1][999] = -std::numeric_limits<float>::infinity();
    media::writeWavFloat(folder.file("nan.wav"), audio, 48000);
    vyk::test::ConsoleCapture console;
    AVAudioFile file(URL::fileURL(folder.file("nan.wav")));
    EXPECT_EQ(console.text(), "AVAudioFile: WARNING: The audio file '" + folder.file("nan.wav") +
                                  "' holds 3 samples that are not finite numbers; they are read as 0.\n");
    const auto buffer = file.converted(file.processingFormat());
    for (unsigned c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < 1000; ++i)
            ASSERT_EQ(buffer->floatChannelData()[c][i], std::isfinite(audio[c][i]) ? audio[c][i] : 0.0f) << i;
}

// Eight channels made into one at six times the rate: only the channel kept is
// resampled, so the conversion takes little beyond its result.
TEST(AudioFile, ConversionResamplesOnlyTheChannelsItKeeps) {
    media::TempFolder folder;
    AVAudioFile file(URL::fileURL(claimWav(folder.file("eight.wav"), 8, 8000, 8 * 2 * 8000 * 60)));
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto mono = file.converted(AVAudioFormat(48000, 1));
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 2 * long(mono->frameLength()) * 4 / 1024);
}

} // namespace
