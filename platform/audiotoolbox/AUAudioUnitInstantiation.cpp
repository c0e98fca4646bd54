// Instantiation of installed components and the view-controller request.
#include "audiotoolbox/AUAudioUnit.h"

#include "audiotoolbox/AVAudioUnitComponentManager.h"
#include "audiotoolbox/AudioComponentModule.h"
#include "foundation/DispatchQueue.h"

namespace {

// No installed component answers the description.
constexpr OSStatus kAudioComponentErr_NotFound = -66753;

// What the host's handle to a unit owns: the unit and the controller that made it.
struct Instance {
    std::shared_ptr<AUViewController> viewController;
    std::shared_ptr<AUAudioUnit> audioUnit;
};

std::string codeText(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        text += (c >= 0x20 && c <= 0x7E) ? c : '?';
    }
    return text;
}

} // namespace

void AUAudioUnit::instantiate(const AudioComponentDescription& description, AudioComponentInstantiationOptions,
                              InstantiationCompletion completion) {
    auto fail = [&completion](OSStatus code, std::string text) {
        DispatchQueue::main().async([completion = std::move(completion), code, text = std::move(text)] {
            completion(nullptr, AUAudioUnitError(code, text));
        });
    };
    const auto components =
        AVAudioUnitComponentManager::sharedAudioUnitComponentManager().componentsMatching(description);
    if (components.empty())
        return fail(kAudioComponentErr_NotFound, "No installed audio component matches " +
                                                     codeText(description.componentType) + " " +
                                                     codeText(description.componentSubType) + " " +
                                                     codeText(description.componentManufacturer) + ".");
    const std::shared_ptr<AVAudioUnitComponent> component = components.front();
    // Loading runs on the caller's thread, so a large module keeps the main thread free.
    const AudioComponentModuleLoad module = loadAudioComponentModule(*component);
    if (!module.factory) return fail(kAudioUnitErr_FailedInitialization, module.error);

    DispatchQueue::main().async([completion = std::move(completion), component, factory = module.factory] {
        AudioComponentFactoryResult result;
        factory(&component->audioComponentDescription(), &result);
        if (result.error || !result.audioUnit) {
            completion(nullptr, result.error ? *result.error
                                             : AUAudioUnitError(kAudioUnitErr_FailedInitialization,
                                                                "The component '" + component->name() +
                                                                    "' made no audio unit."));
            return;
        }
        result.audioUnit->viewController_ = result.viewController;
        auto instance =
            std::make_shared<Instance>(Instance{std::move(result.viewController), std::move(result.audioUnit)});
        completion(std::shared_ptr<AUAudioUnit>(instance, instance->audioUnit.get()), std::nullopt);
    });
}

void AUAudioUnit::requestViewController(std::function<void(std::shared_ptr<AUViewController>)> completion) {
    DispatchQueue::main().async(
        [completion = std::move(completion), controller = viewController_] { completion(controller.lock()); });
}
