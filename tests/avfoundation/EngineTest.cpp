#include "TestEnvironment.h"
#include "EngineRig.h"

#include "../support/RenderGuard.h"
#include "avfoundation/AVAudioError.h"
#include "avfoundation/PacedOutputSink.h"
#include "avfoundation/WavFileOutputSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The passes the file would give, back to back, times the gain.
std::vector<float> expectedPasses(const media::Channels& audio, unsigned channel, int passes, float gain) {
    std::vector<float> out;
    for (int p = 0; p < passes; ++p)
        for (float v : audio[channel]) out.push_back(gain * v);
    return out;
}

TEST(Engine, LoopsAreSampleExactPassAfterPassWithCompletionsOnTime) {
    const std::size_t length = 1000; // not a multiple of the callback
    EngineRig rig(length);
    std::atomic<int> completed{0};
    std::thread::id completionThread;
    for (int pass = 0; pass < 3; ++pass)
        rig.player->scheduleFile(rig.file, [&] {
            completionThread = std::this_thread::get_id();
            completed.fetch_add(1);
        });
    rig.engine.start();
    rig.player->play();
    ASSERT_TRUE(rig.player->isPlaying());

    std::vector<float> left, right;
    const std::uint32_t block = 512;
    for (std::size_t rendered = 0; rendered < 3 * length + 700; rendered += block) {
        const auto* out = rig.sink->render(block);
        left.insert(left.end(), out[0].begin(), out[0].begin() + block);
        right.insert(right.end(), out[1].begin(), out[1].begin() + block);
        // A pass completes once its last frame has rendered, and not before.
        const int due = int(std::min<std::size_t>(3, (rendered + block) / length));
        EXPECT_TRUE(EngineRig::eventually([&] { return completed.load() >= due; })) << rendered;
        std::this_thread::sleep_for(3ms);
        EXPECT_EQ(completed.load(), due) << rendered;
    }
    EXPECT_NE(completionThread, std::this_thread::get_id());
    const auto wantLeft = expectedPasses(rig.audio, 0, 3, 0.5f);
    const auto wantRight = expectedPasses(rig.audio, 1, 3, 0.5f);
    EXPECT_TRUE(std::equal(wantLeft.begin(), wantLeft.end(), left.begin()));
    EXPECT_TRUE(std::equal(wantRight.begin(), wantRight.end(), right.begin()));
    EXPECT_TRUE(std::all_of(left.begin() + long(wantLeft.size()), left.end(), [](float v) { return v == 0; }));
}

TEST(Engine, StopFlushesOnceAndPlayStartsOverFromTheTop) {
    EngineRig rig(4000);
    std::atomic<int> first{0}, second{0};
    rig.player->scheduleFile(rig.file, [&] { first++; });
    rig.engine.start();
    rig.player->play();
    rig.sink->render(1000);
    rig.player->pause(); // keeps the place
    EXPECT_EQ(rig.sink->render(100)[0][0], 0.0f);
    rig.player->play();
    EXPECT_EQ(rig.sink->render(1)[0][0], 0.5f * rig.audio[0][1000]);
    rig.player->stop();
    EXPECT_TRUE(EngineRig::eventually([&] { return first.load() == 1; }));
    rig.player->scheduleFile(rig.file, [&] { second++; });
    rig.player->play();
    EXPECT_EQ(rig.sink->render(1)[0][0], 0.5f * rig.audio[0][0]);
    rig.player->stop();
    rig.player->stop();
    EXPECT_TRUE(EngineRig::eventually([&] { return second.load() == 1; }));
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(first.load(), 1);
    EXPECT_EQ(second.load(), 1);
}

TEST(Engine, QuickStopAndStartNeverRunsTwoRenderThreads) {
    media::TempFolder folder;
    auto unit = GainUnit::make(1.0f);
    auto node = std::make_shared<AVAudioUnit>(unit);
    AVAudioEngine engine(std::make_shared<avf::NullOutputSink>());
    engine.attach(node);
    engine.connect(node, engine.mainMixerNode(), std::nullopt);
    for (int i = 0; i < 20; ++i) {
        engine.start();
        engine.start();
        EXPECT_TRUE(engine.isRunning());
        std::this_thread::sleep_for(1ms);
        engine.stop();
        EXPECT_FALSE(engine.isRunning());
    }
    EXPECT_GT(unit->calls.load(), 0);
    EXPECT_FALSE(unit->overlapped.load());
}

TEST(Engine, GraphChangesWhileRunningLoseNoBlock) {
    const std::size_t length = 48000;
    EngineRig rig(length);
    rig.player->scheduleFile(rig.file, nullptr);
    rig.engine.start();
    rig.player->play();
    vyk::test::ConsoleCapture lines; // a unit with unequal channel counts says so

    std::atomic<bool> done{false};
    std::vector<float> left;
    std::thread render([&] {
        while (!done.load()) {
            const auto* out = rig.sink->render(256);
            left.insert(left.end(), out[0].begin(), out[0].begin() + 256);
        }
    });
    const AVAudioFormat mono(48000, 1), stereo(48000, 2);
    for (int i = 0; i < 30; ++i) {
        rig.engine.disconnectNodeInput(rig.engine.mainMixerNode());
        rig.engine.connect(rig.unitNode, rig.engine.mainMixerNode(), std::nullopt);
        rig.engine.connect(rig.player, rig.unitNode, i % 3 == 0 ? mono : stereo);
        rig.engine.connect(rig.unitNode, rig.engine.mainMixerNode(), i % 3 == 0 ? mono : stereo);
        rig.engine.mainMixerNode()->setOutputVolume(1.0f);
        std::this_thread::sleep_for(1ms);
    }
    done = true;
    render.join();
    // Every frame of the file that came out came out once, in order: pauses are silent.
    std::vector<float> heard;
    for (float v : left)
        if (v != 0.0f) heard.push_back(v);
    ASSERT_GT(heard.size(), 1000u);
    const auto want = expectedPasses(rig.audio, 0, 1, 0.5f);
    ASSERT_LE(heard.size(), want.size());
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), want.begin()));
    EXPECT_FALSE(rig.unit->overlapped.load());
}

TEST(Engine, CallbacksAreSlicedByTheSmallestMaximumFrameCount) {
    EngineRig rig(20000);
    rig.player->scheduleFile(rig.file, nullptr);
    rig.engine.start();
    rig.player->play();
    const auto* out = rig.sink->render(10000);
    EXPECT_EQ(rig.unit->largestCall.load(), 4096u);
    EXPECT_EQ(out[0][9999], 0.5f * rig.audio[0][9999]);

    // A unit that allocated itself for 300 frames before it joined the graph.
    auto small = GainUnit::make(1.0f);
    small->setMaximumFramesToRender(300);
    ASSERT_TRUE(small->allocateRenderResources());
    auto smallNode = std::make_shared<AVAudioUnit>(small);
    rig.engine.attach(smallNode);
    rig.engine.connect(rig.unitNode, smallNode, std::nullopt);
    rig.engine.connect(smallNode, rig.engine.mainMixerNode(), std::nullopt);
    out = rig.sink->render(1000);
    EXPECT_EQ(small->largestCall.load(), 300u);
    EXPECT_EQ(out[1][999], 0.5f * rig.audio[1][10999]);
}

TEST(Engine, RenderingALoopNeitherAllocatesNorLocks) {
    if (!vyk::test::RenderGuard::active()) GTEST_SKIP() << "the interposer is off under sanitizers";
    EngineRig rig(700);
    for (int pass = 0; pass < 8; ++pass) rig.player->scheduleFile(rig.file, [] {});
    rig.engine.start();
    rig.player->play();
    rig.sink->render(512); // the sink sizes its own buffers once
    long violations = 0;
    for (int i = 0; i < 12; ++i) {
        vyk::test::RenderGuard guard;
        rig.sink->render(512);
        violations += guard.violations();
    }
    EXPECT_EQ(violations, 0);
    EXPECT_GT(rig.unit->calls.load(), 12);
}

TEST(Engine, MisuseIsReportedNotFatal) {
    vyk::test::ConsoleCapture lines;
    auto sink = std::make_shared<avf::ManualOutputSink>();
    AVAudioEngine engine(sink);
    auto player = std::make_shared<AVAudioPlayerNode>();
    player->play();
    player->scheduleFile(nullptr, nullptr);
    engine.connect(player, engine.mainMixerNode(), std::nullopt);
    engine.detach(player);
    engine.attach(player);
    AVAudioEngine(std::make_shared<avf::ManualOutputSink>()).attach(player);
    player->play(); // the engine is not running
    EXPECT_FALSE(player->isPlaying());
    const std::string text = lines.text();
    EXPECT_NE(text.find("AVAudioPlayerNode: play(): the engine is not running."), std::string::npos);
    EXPECT_NE(text.find("not attached to an engine"), std::string::npos);
    EXPECT_NE(text.find("AVAudioEngine: ERROR: connect:"), std::string::npos);
    EXPECT_NE(text.find("AVAudioEngine: ERROR: detach:"), std::string::npos);
    EXPECT_NE(text.find("AVAudioEngine: ERROR: attach: the node is attached to another engine.\n"), std::string::npos);
}

TEST(Engine, AFailingUnitPlaysSilenceAndIsReportedOnce) {
    EngineRig rig(4000);
    vyk::test::ConsoleCapture lines;
    rig.player->scheduleFile(rig.file, nullptr);
    rig.engine.start();
    rig.player->play();
    rig.unit->failWith = -1234;
    for (int i = 0; i < 4; ++i) {
        const auto* out = rig.sink->render(256);
        EXPECT_TRUE(std::all_of(out[0].begin(), out[0].begin() + 256, [](float v) { return v == 0; }));
        std::this_thread::sleep_for(3ms);
    }
    const std::string line = "AVAudioEngine: ERROR: An audio unit failed to render (status -1234); it plays silence.\n";
    EXPECT_TRUE(EngineRig::eventually([&] { return lines.text().find(line) != std::string::npos; }));
    EXPECT_EQ(lines.text().find(line), lines.text().rfind(line));
    rig.unit->failWith = noErr;
    EXPECT_NE(rig.sink->render(256)[0][0], 0.0f);
}

TEST(Engine, AnOutputThatCannotOpenFailsTheStart) {
    AVAudioEngine engine(std::make_shared<avf::WavFileOutputSink>("/nonexistent/folder/out.wav"));
    try {
        engine.start();
        ADD_FAILURE() << "started";
    } catch (const AVAudioError& e) {
        EXPECT_EQ(e.localizedDescription(),
                  "The output file '/nonexistent/folder/out.wav' could not be written: No such file or directory.");
    }
    EXPECT_FALSE(engine.isRunning());
}

} // namespace
