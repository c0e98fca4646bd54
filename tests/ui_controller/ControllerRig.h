#pragma once
// The effect's controller with a real unit, shown in an offscreen window, under the
// main run loop's virtual clock; console lines captured.
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "../uikit_app/AppRig.h"
#include "foundation/RunLoop.h"
#include "ui/AudioUnitViewController.h"
#include "ui/VYKOrmeltaView.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vyk::test {

// 'aumf' 'vkwb' 'FLNR'
constexpr AudioComponentDescription effectDescription() { return {0x61756D66, 0x766B7762, 0x464C4E52, 0, 0}; }

// Console lines, taken (and cleared) at once.
class Lines : public ConsoleLines {
public:
    std::vector<std::string> take() {
        auto l = lines();
        clear();
        return l;
    }
};

class ControllerRig : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().setVirtualClock(true);
        controller = AudioUnitViewController::make();
        controller->showIn(*window);
        unit =
            std::static_pointer_cast<VYK_Wimbrax_Extension_AudioUnit>(controller->createAudioUnit(effectDescription()));
        settle();
    }
    void TearDown() override {
        controller.reset();
        window.reset();
        RunLoop::main().runUntilIdle();
        RunLoop::main().setVirtualClock(false);
    }
    // Drains the main queue and draws what changed.
    void settle() {
        RunLoop::main().runUntilIdle();
        window->displayIfNeeded();
    }
    float value(AUParameterAddress a) { return unit->parameterTree()->parameterWithAddress(a)->value(); }
    VYKOrmeltaViewBase& model() { return controller->mainView->baseClass(); }
    // A click at a panel point, on a panel fitted to the window from its origin.
    void click(CGPoint p, bool alone = true) {
        if (alone) RunLoop::main().advance(1); // never a double tap with the click before
        window->mouseDown(p);
        window->mouseUp(p);
        settle();
    }

    Lines lines;
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{680, 600});
    std::shared_ptr<AudioUnitViewController> controller;
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit;
};

} // namespace vyk::test
