#pragma once
// The audio unit factory a module's principal view controller adopts, and the body of
// the module's exported factory function built on it:
//
//   AUDIO_COMPONENT_EXPORT void MyFactory(const AudioComponentDescription* description,
//                                         AudioComponentFactoryResult* result) noexcept {
//       makeAudioComponentInstance<MyViewController>(description, result);
//   }
//
// The controller is made (by its static make() when it has one), its view is loaded,
// and only then is it asked for the unit, so the unit's hook-up finds the panel there.
// Thread rules: main thread.
#include "audiotoolbox/AUAudioUnitError.h"
#include "audiotoolbox/AUViewController.h"
#include "audiotoolbox/AudioComponentFactoryFunction.h"

#include <exception>
#include <type_traits>

class AUAudioUnitFactory {
public:
    virtual ~AUAudioUnitFactory() = default;
    // Throws AUAudioUnitError when the unit cannot be made.
    virtual std::shared_ptr<AUAudioUnit> createAudioUnit(const AudioComponentDescription& description) = 0;
};

template <class Controller>
void makeAudioComponentInstance(const AudioComponentDescription* description,
                                AudioComponentFactoryResult* result) noexcept {
    static_assert(std::is_base_of_v<AUViewController, Controller> && std::is_base_of_v<AUAudioUnitFactory, Controller>);
    try {
        std::shared_ptr<Controller> controller;
        if constexpr (requires { Controller::make(); })
            controller = Controller::make();
        else
            controller = std::make_shared<Controller>();
        controller->view();
        std::shared_ptr<AUAudioUnit> unit = controller->createAudioUnit(*description);
        if (!unit) {
            result->error = AUAudioUnitError(kAudioUnitErr_FailedInitialization,
                                             "The component's view controller made no audio unit.");
            return;
        }
        result->audioUnit = std::move(unit);
        result->viewController = std::move(controller);
    } catch (const AUAudioUnitError& error) {
        result->error = error;
    } catch (const std::exception& error) {
        result->error = AUAudioUnitError(kAudioUnitErr_FailedInitialization, error.what());
    } catch (...) {
        result->error = AUAudioUnitError(kAudioUnitErr_FailedInitialization, "The component's factory failed.");
    }
}
