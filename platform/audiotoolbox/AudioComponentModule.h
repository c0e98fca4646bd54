#pragma once
// Loads a component's module and finds its factory function. The module is opened
// with RTLD_NOW | RTLD_LOCAL, so an unresolved symbol fails here and not later, and its
// symbols stay out of everyone else's way; it is never closed, so every unit and view
// it made keeps its code for the life of the process.
// Thread rules: any thread but the render thread.
#include "audiotoolbox/AVAudioUnitComponent.h"
#include "audiotoolbox/AudioComponentFactoryFunction.h"

#include <string>

struct AudioComponentModuleLoad {
    AudioComponentFactoryFunction factory = nullptr;
    std::string error; // a sentence for people when factory is null
};

AudioComponentModuleLoad loadAudioComponentModule(const AVAudioUnitComponent& component);
