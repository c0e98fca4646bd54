#include "audiotoolbox/AudioComponentModule.h"

#include <dlfcn.h>

#include <mutex>

AudioComponentModuleLoad loadAudioComponentModule(const AVAudioUnitComponent& component) {
    // dlerror() reports the last failure of the process, not of this call.
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    ::dlerror();
    void* handle = ::dlopen(component.modulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        return {nullptr, "The module '" + component.modulePath() +
                             "' could not be loaded: " + (reason ? reason : "unknown reason") + "."};
    }
    void* symbol = ::dlsym(handle, component.factoryFunction().c_str());
    if (!symbol)
        return {nullptr, "The module '" + component.modulePath() + "' has no factory function '" +
                             component.factoryFunction() + "'."};
    return {reinterpret_cast<AudioComponentFactoryFunction>(symbol), {}};
}
