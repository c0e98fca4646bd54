// Host automation of every address the panel shows, from another thread, reaches the
// panel on the main queue.
#include "ControllerRig.h"

#include <thread>

// The panel's labels load fonts: pango starts fontconfig on a thread of its own, which
// ThreadSanitizer cannot follow into those uninstrumented libraries.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libpango-1.0.so\nrace:libpangoft2-1.0.so\n";
}

namespace {

TEST(Automation, EveryAddressFromAnotherThreadShowsOnThePanel) {
    RunLoop::main().setVirtualClock(true);
    {
        auto controller = AudioUnitViewController::make();
        controller->view();
        controller->createAudioUnit(vyk::test::effectDescription());
        RunLoop::main().runUntilIdle();
        auto tree = controller->audioUnit()->parameterTree();
        const auto v = [](AUParameterAddress a) {
            return a == 2 ? 3.0f : a <= 4 ? 0.1f * float(a) : a <= 7 ? 0.0f : a >= 26 ? 1.0f : 0.01f * float(a);
        };
        std::thread host([&] {
            for (AUParameterAddress a = 2; a <= 41; ++a) tree->parameterWithAddress(a)->setValue(v(a));
        });
        host.join();
        RunLoop::main().runUntilIdle();
        const auto& m = controller->mainView->baseClass();
        EXPECT_EQ(m.currentMode, 3);
        EXPECT_FALSE(m.isAllpass);
        EXPECT_TRUE(m.isRangeSelected[3] && !m.isRangeSelected[2]);
        EXPECT_FLOAT_EQ(float(m.valueSplit1), 0.3f);
        EXPECT_FLOAT_EQ(float(m.valueSplit2), 0.4f);
        for (std::size_t b = 0; b < 4; ++b) {
            EXPECT_EQ(m.isRangeActive[b], b == 0);
            EXPECT_FLOAT_EQ(float(m.valueStereoWidth[b]), v(14 + b));
            EXPECT_FLOAT_EQ(float(m.valuePanorama[b]), v(18 + b));
            EXPECT_FLOAT_EQ(float(m.valuePhaseShift[b]), v(22 + b));
            EXPECT_TRUE(m.isSwapOn[b] && m.isInvert[b] && m.isRecover[b] && m.isMonoOn[b]);
        }
    }
    RunLoop::main().runUntilIdle();
    RunLoop::main().setVirtualClock(false);
}

} // namespace
