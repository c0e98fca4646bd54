// The engine player's faults, mended: a failed start, a quick stop and start.
#include "HostRig.h"

#include "avfoundation/WavFileOutputSink.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace host::test;

namespace {
long count(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}
} // namespace

TEST(HostPlayer, AFailedStartIsReportedAsAFailure) {
    HostRig rig(std::make_shared<avf::WavFileOutputSink>("/nonexistent-folder/out.wav"));
    AUEnginePlayer& player = *rig.controller->audioUnitManager()->auEngine;
    EXPECT_FALSE(player.toggle());
    RunLoop::main().runUntilIdle();
    const auto lines = rig.console.lines();
    EXPECT_EQ(count(lines, "AUEnginePlayer: Audio engine starting."), 0);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("AUEnginePlayer::ERROR: Could not start audio engine. error: ", 0) == 0;
    }));
    EXPECT_FALSE(rig.controller->playButton->isHidden());
}

TEST(HostPlayer, AQuickStopAndStartPlaysOneChainCountedFromZero) {
    HostRig rig;
    AUEnginePlayer& player = *rig.controller->audioUnitManager()->auEngine;
    ASSERT_TRUE(player.toggle());
    rig.render(kLoopFrames + 512); // one pass ends
    ASSERT_FALSE(player.toggle());
    ASSERT_TRUE(player.toggle());
    rig.render(5 * kLoopFrames / 2);
    const std::string looped = "AUEnginePlayer: Current audio file '" + rig.folder.file("1.m4a") + "' looped: ";
    ASSERT_TRUE(rig.pumpUntil([&] { return rig.hasLine(looped + "2."); }));
    const auto lines = rig.console.lines();
    EXPECT_EQ(count(lines, looped + "1."), 1);
    EXPECT_EQ(count(lines, looped + "2."), 1);
    EXPECT_EQ(count(lines, looped + "3."), 0);
    EXPECT_EQ(count(lines, "AUEnginePlayer: Audio engine starting."), 2);
}
