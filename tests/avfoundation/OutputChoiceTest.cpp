#include "TestEnvironment.h"

#include "avfoundation/AVAudioSession.h"
#include "avfoundation/AudioOutputChoice.h"
#include "avfoundation/PacedOutputSink.h"
#include "avfoundation/WavFileOutputSink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Never reaches the sound card: every case ends in a WAV file or the silent sink.
class OutputChoice : public testing::Test {
protected:
    ~OutputChoice() override {
        unsetenv("VYK_AUDIO_OUTPUT");
        avf::setRequestedWavFile("");
        avf::setFallbackWavFile("output.wav");
    }
    vyk::test::ConsoleCapture lines;
};

TEST_F(OutputChoice, EnvironmentThenLaunchOptionThenDevice) {
    setenv("VYK_AUDIO_OUTPUT", "null", 1);
    EXPECT_NE(dynamic_cast<avf::NullOutputSink*>(avf::makeDefaultOutputSink().get()), nullptr);

    setenv("VYK_AUDIO_OUTPUT", "/tmp/x.wav", 1);
    auto wav = std::dynamic_pointer_cast<avf::WavFileOutputSink>(avf::makeDefaultOutputSink());
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->path(), "/tmp/x.wav");

    // A value that names no output is said and ignored; the launch option comes next.
    setenv("VYK_AUDIO_OUTPUT", "speakers", 1);
    avf::setRequestedWavFile("/tmp/asked.wav");
    wav = std::dynamic_pointer_cast<avf::WavFileOutputSink>(avf::makeDefaultOutputSink());
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->path(), "/tmp/asked.wav");
    EXPECT_EQ(lines.text(), "AVAudioEngine: VYK_AUDIO_OUTPUT must be 'null' or a path ending in '.wav', not "
                            "'speakers'; it is ignored.\n");
}

TEST_F(OutputChoice, WithoutASoundCardTheFallbackFileIsSaidInOneLine) {
    if (avf::soundServerOrDeviceExists()) GTEST_SKIP() << "this machine has a sound output";
    avf::setFallbackWavFile("/tmp/fallback.wav");
    auto wav = std::dynamic_pointer_cast<avf::WavFileOutputSink>(avf::makeDefaultOutputSink());
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->path(), "/tmp/fallback.wav");
    EXPECT_EQ(lines.text(),
              "AVAudioEngine: No sound card found; playing into '/tmp/fallback.wav' (at most 5 minutes).\n");
}

TEST(AudioSession, SucceedsUnlessAFailureIsInjected) {
    auto& session = AVAudioSession::sharedInstance();
    session.setCategory(AVAudioSessionCategoryPlayback, AVAudioSessionModeDefault, 0);
    session.setActive(true, 0);
    EXPECT_EQ(session.category(), AVAudioSessionCategoryPlayback);
    EXPECT_TRUE(session.isActive());
    session.failActivationForTesting(AVAudioError(kAVAudioErrorSession, "The session is busy."));
    EXPECT_THROW(session.setActive(false, 0), AVAudioError);
    EXPECT_TRUE(session.isActive());
    session.failActivationForTesting(std::nullopt);
    session.setActive(false, 0);
    EXPECT_FALSE(session.isActive());
}

} // namespace
