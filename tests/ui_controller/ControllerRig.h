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

inline AudioComponentDescription effectDescription()
{
    AudioComponentDescription d{};
    d.componentType = 0x61756D66;          // 'aumf'
    d.componentSubType = 0x766B7762;       // 'vkwb'
    d.componentManufacturer = 0x464C4E52;  // 'FLNR'
    return d;
}

// Console lines, taken (and cleared) at once.
class Lines : public ConsoleLines {
public:
    std::vector<std::string> take()
    {
        auto l = lines();
        clear();
        return l;
    }
};

class ControllerRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunLoop::main().setVirtualClock(true);
        controller = AudioUnitViewController::make();
        controller->showIn(*window);
        unit = std::static_pointer_cast<VYK_Wimbrax_Extension_AudioUnit>(controller->createAudioUnit(effectDescription()));
        settle();
    }
    void TearDown() override
    {
        controller.reset();
        window.reset();
        RunLoop::main().runUntilIdle();
        RunLoop::main().setVirtualClock(false);
    }
    // Drains the main queue and draws what changed.
    void settle()
    {
        RunLoop::main().runUntilIdle();
        window->displayIfNeeded();
    }
    float value(AUParameterAddress a) { return unit->parameterTree()->parameterWithAddress(a)->value(); }
    VYKOrmeltaViewBase& model() { return controller->mainView->baseClass(); }
    // A click at a panel point, on a panel fitted to the window from its origin.
    void click(CGPoint p)
    {
        RunLoop::main().advance(1);  // never a double tap with the click before
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
