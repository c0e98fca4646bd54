#include "host/AUExtensionManager.h"

#include "audiotoolbox/AVAudioUnitComponentManager.h"
#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/ProcessInfo.h"
#include "host/HostEnvironment.h"
#include "shared/FourCharCode.h"
#include "uikit/UIApplication.h"

#include <cstdio>

using host::println;

std::shared_ptr<AUExtensionManager> AUExtensionManager::make(std::weak_ptr<AUExtensionManagerDelegate> delegate) {
    std::shared_ptr<AUExtensionManager> manager(new AUExtensionManager(std::move(delegate)));
    manager->loadForRelease();
    return manager;
}

AUExtensionManager::AUExtensionManager(std::weak_ptr<AUExtensionManagerDelegate> delegate)
    : auEngine(AUEnginePlayer::make()), delegate_(std::move(delegate)) {}

void AUExtensionManager::loadForRelease() {
    println("NOTE: WE ARE IN AUDIO UNIT RELEASE MODE. ENSURE THE STORYBOARD CONNECTIONS ARE VALID!");
    // Automated presses wait for the search to end. The hold rides in the road's
    // closures, so it goes however the road ends: found, failed or not found.
    DispatchQueue::global().async([self = shared_from_this(), hold = UIApplication::shared().holdPresses()] {
        auto found = AVAudioUnitComponentManager::sharedAudioUnitComponentManager().componentsMatching(
            self->componentDescription_);
        {
            std::lock_guard lock(self->availableMutex_);
            self->availableAudioUnits_ = found;
        }
        if (found.empty()) {
            println("ERROR: There were no audio units found.");
            return;
        }
        self->selectfoundComponent(found.front(), [self, hold] { self->onFoundComponent(); });
    });
}

std::vector<std::shared_ptr<AVAudioUnitComponent>> AUExtensionManager::availableAudioUnits() const {
    std::lock_guard lock(availableMutex_);
    return availableAudioUnits_;
}

void AUExtensionManager::selectfoundComponent(const std::shared_ptr<AVAudioUnitComponent>& component,
                                              std::function<void()> completionHandler) {
    if (!component) {
        println("ERROR: Component is nil.");
        return;
    }
    println("AUExtensionManager: Loaded component has following properties.");
    log(component->audioComponentDescription());
    selectAudioUnitWithComponentDescription(component->audioComponentDescription(), std::move(completionHandler));
}

std::string AUExtensionManager::componentBlock(const AudioComponentDescription& d) {
    char flags[32];
    std::snprintf(flags, sizeof flags, "%#010x", d.componentFlags);
    return "AUExtension (\ntype: " + stringValue(d.componentType) + "\nsubtype: " + stringValue(d.componentSubType) +
           "\nmanufacturer: " + stringValue(d.componentManufacturer) + "\nflags: " + flags + "\n)";
}

std::string AUExtensionManager::descriptionLine(const AudioComponentDescription& d) {
    return "AudioComponentDescription(componentType: " + std::to_string(d.componentType) +
           ", componentSubType: " + std::to_string(d.componentSubType) +
           ", componentManufacturer: " + std::to_string(d.componentManufacturer) +
           ", componentFlags: " + std::to_string(d.componentFlags) +
           ", componentFlagsMask: " + std::to_string(d.componentFlagsMask) + ")";
}

void AUExtensionManager::log(const AudioComponentDescription& description) {
    const ProcessInfo& process = ProcessInfo::processInfo();
    println("\nProcess Name: " + process.processName() + " PID: " + std::to_string(process.processIdentifier()) + "\n");
    println(componentBlock(description));
}

void AUExtensionManager::selectAudioUnitWithComponentDescription(
    const std::optional<AudioComponentDescription>& description, std::function<void()> completionHandler) {
    if (!description) {
        println("Error: Component description is nil.");
        return;
    }
    AVAudioUnit::instantiate(*description, 0,
                             [self = shared_from_this(), description = *description,
                              completionHandler = std::move(completionHandler)](std::shared_ptr<AVAudioUnit> unit,
                                                                                std::optional<AUAudioUnitError> error) {
                                 if (!unit) {
                                     println(descriptionLine(description));
                                     println("Error: Could not instantiate audio unit.");
                                     if (error)
                                         println("AUExtensionManager: ERROR: " + error->localizedDescription() +
                                                 " (code " + std::to_string(error->code()) + ")");
                                     return;
                                 }
                                 println("AUExtensionManager: Audio unit was found, making connections now ...");
                                 unit->auAudioUnit()->setContextName("running in distribution host");
                                 self->audioUnit_ = unit->auAudioUnit();
                                 self->auEngine->connect(unit, [self, unit, completionHandler] {
                                     println("AUExtensionManager: Performed audio unit connection.");
                                     if (auto d = self->delegate_.lock()) d->onFoundComponent(unit);
                                     completionHandler();
                                 });
                             });
}

void AUExtensionManager::onFoundComponent() {
    connectParametersToControls();
    if (auto d = delegate_.lock()) d->onEngineInitialized();
}

std::vector<Preset> AUExtensionManager::presets() const {
    std::vector<Preset> result;
    if (audioUnit_)
        for (auto& p : audioUnit_->factoryPresets()) result.push_back(Preset(p));
    return result;
}

std::optional<Preset> AUExtensionManager::currentPreset() const {
    if (!audioUnit_) return std::nullopt;
    auto p = audioUnit_->currentPreset();
    return p ? std::optional<Preset>(Preset(*p)) : std::nullopt;
}

void AUExtensionManager::setCurrentPreset(const std::optional<Preset>& preset) {
    if (!audioUnit_) return;
    audioUnit_->setCurrentPreset(preset ? std::optional<AUAudioUnitPreset>(preset->audioUnitPreset) : std::nullopt);
}
