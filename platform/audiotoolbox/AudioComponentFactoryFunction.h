#pragma once
// The one entry point a component's module exports: an extern "C" function of type
// AudioComponentFactoryFunction, named by the bundle's description file. Given the
// description the host found, it makes the module's audio unit and, for a module with
// a panel, the principal view controller that made the unit (its view already loaded).
// It never throws: a failure comes back in `error`, and nothing else is set.
// It runs on the main thread.
#include "audiotoolbox/AUAudioUnit.h"
#include "audiotoolbox/AUAudioUnitError.h"
#include "audiotoolbox/AudioComponentDescription.h"

#include <memory>
#include <optional>

class AUViewController;

struct AudioComponentFactoryResult {
    std::shared_ptr<AUAudioUnit> audioUnit;
    std::shared_ptr<AUViewController> viewController;
    std::optional<AUAudioUnitError> error;
};

extern "C" {
using AudioComponentFactoryFunction = void (*)(const AudioComponentDescription* description,
                                               AudioComponentFactoryResult* result) noexcept;
}

// Exports a module's factory function under `symbol` (for use in a module's source).
#define AUDIO_COMPONENT_EXPORT extern "C" __attribute__((visibility("default")))
