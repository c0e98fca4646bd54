// The module as a host meets it: found by the registry, instantiated from its .so,
// rendering, its panel drawn, and nothing left behind once the host lets go.
#include "ControllerRig.h"

#include "audiotoolbox/AVAudioUnitComponentManager.h"
#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AudioBufferList.h"

#include <cmath>
#include <cstdlib>

#if defined(VYK_SANITIZED) && __has_include(<sanitizer/lsan_interface.h>) && !defined(__SANITIZE_THREAD__)
#include <sanitizer/lsan_interface.h>
#define VYK_LSAN 1
#endif

namespace {

using vyk::test::effectDescription;

TEST(Module, FoundInstantiatedRendersDrawsAndLeavesNothingBehind) {
    ::setenv("AUDIO_COMPONENT_PATH", VYK_PLUGINS_DIR, 1);
    vyk::test::Lines lines;
    AudioComponentDescription search = effectDescription();
    search.componentFlags = 2;
    const auto found = AVAudioUnitComponentManager::sharedAudioUnitComponentManager().componentsMatching(search);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front()->name(), "FLNR: VYK Wimbrax Extension (AU)");

    std::weak_ptr<AUAudioUnit> watchedUnit;
    std::weak_ptr<AUViewController> watchedController;
    {
        std::shared_ptr<AUAudioUnit> unit;
        AUAudioUnit::instantiate(search, 0, [&](std::shared_ptr<AUAudioUnit> u, std::optional<AUAudioUnitError> e) {
            unit = std::move(u);
            EXPECT_FALSE(e);
        });
        RunLoop::main().runUntilIdle();
        ASSERT_TRUE(unit);

        // Renders: a tone in, a finite, audible signal out.
        ASSERT_TRUE(unit->allocateRenderResources());
        constexpr AUAudioFrameCount n = 512;
        std::vector<float> left(n), right(n);
        AudioBufferList out{2, {{1, n * 4, left.data()}, {1, n * 4, right.data()}}};
        const AURenderPullInputBlock pull = [](AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                               AUAudioFrameCount frames, NSInteger, AudioBufferList* data) {
            for (AUAudioFrameCount i = 0; i < frames * 2; ++i)
                static_cast<float*>(data->mBuffers[i % 2].mData)[i / 2] = 0.5f * std::sin(0.0628f * float(i / 2));
            return noErr;
        };
        double energy = 0;
        for (int pass = 0; pass < 8; ++pass) {
            AudioUnitRenderActionFlags flags = 0;
            AudioTimeStamp time{};
            ASSERT_EQ(unit->renderBlock()(&flags, &time, n, 0, &out, nullptr, &pull), noErr);
            for (float s : left) energy += std::isfinite(s) ? double(s) * s : 1e9;
        }
        EXPECT_GT(energy, 1.0);
        EXPECT_LT(energy, 1e6);

        // The panel: the host asks for the controller and shows its view.
        std::shared_ptr<AUViewController> controller;
        unit->requestViewController([&](std::shared_ptr<AUViewController> c) { controller = std::move(c); });
        RunLoop::main().runUntilIdle();
        ASSERT_TRUE(controller);
        auto window = std::make_shared<UIWindow>(CGSize{680, 600});
        controller->showIn(*window);
        RunLoop::main().runUntilIdle();
        EXPECT_TRUE(window->displayIfNeeded());
        const vyk::gfx::Pixel outline = window->surface().pixel(20, 300); // the panel's green outline
        EXPECT_NEAR(outline.r, 58, 12);
        EXPECT_NEAR(outline.g, 199, 12);
        EXPECT_NEAR(outline.b, 37, 12);
        if (const char* dir = std::getenv("VYK_ARTIFACTS_DIR")) {
            EXPECT_TRUE(window->writePNG(std::string(dir) + "/controller-module-panel.png"));
        }
        const auto l = lines.take();
        EXPECT_NE(std::find(l.begin(), l.end(), "AU Diagnostics: Connected parameters to the plugins interface."),
                  l.end());
        watchedUnit = unit;
        watchedController = controller;
        unit->deallocateRenderResources();
    }
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(watchedUnit.expired());
    EXPECT_TRUE(watchedController.expired());
    ::unsetenv("AUDIO_COMPONENT_PATH");
#ifdef VYK_LSAN
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

} // namespace
