#pragma once
// The component finder: searches the registry once for the effect, logs what
// it found, instantiates it, writes the host's context name into it and hands
// it to the engine player, then tells its delegate. Until its search has ended,
// one way or another, the application's --press options wait.
//
// Thread rules: made and used on the main thread. The search runs on the
// global queue; the instantiation result arrives on the main queue, so the
// connection and both delegate calls happen on the main thread.
#include "audiotoolbox/AVAudioUnitComponent.h"
#include "audiotoolbox/AUAudioUnitPreset.h"
#include "audiotoolbox/AUViewController.h"
#include "host/AudioEngine/AUEnginePlayer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class AUExtensionManagerDelegate {
public:
    virtual ~AUExtensionManagerDelegate() = default;
    virtual void onFoundComponent(std::shared_ptr<AVAudioUnit> unit) = 0;
    virtual void onEngineInitialized() = 0;
};

// A preset of the unit, as the finder hands it out.
class Preset {
public:
    NSInteger number() const { return audioUnitPreset.number; }
    const std::string& name() const { return audioUnitPreset.name; }
    const AUAudioUnitPreset audioUnitPreset;

private:
    friend class AUExtensionManager;
    explicit Preset(AUAudioUnitPreset preset) : audioUnitPreset(std::move(preset)) {}
};

class AUExtensionManager : public std::enable_shared_from_this<AUExtensionManager> {
public:
    // Builds the finder and starts the search; returns before it runs.
    static std::shared_ptr<AUExtensionManager> make(std::weak_ptr<AUExtensionManagerDelegate> delegate);

    const std::shared_ptr<AUEnginePlayer> auEngine;
    std::shared_ptr<AUViewController> viewController; // a slot; the finder never fills it

    bool togglePlayback() { return auEngine->toggle(); }
    void cleanup() { auEngine->finalize(); }
    void connectParametersToControls() {}

    std::vector<Preset> presets() const;
    std::optional<Preset> currentPreset() const;
    void setCurrentPreset(const std::optional<Preset>& preset);

    // What the search found, in the registry's order.
    std::vector<std::shared_ptr<AVAudioUnitComponent>> availableAudioUnits() const;

    // The "AUExtension (" block of a description, and the one-line form printed
    // when instantiation fails.
    static std::string componentBlock(const AudioComponentDescription& description);
    static std::string descriptionLine(const AudioComponentDescription& description);

private:
    explicit AUExtensionManager(std::weak_ptr<AUExtensionManagerDelegate> delegate);
    void loadForRelease();
    void selectfoundComponent(const std::shared_ptr<AVAudioUnitComponent>& component,
                              std::function<void()> completionHandler);
    void log(const AudioComponentDescription& description);
    void selectAudioUnitWithComponentDescription(const std::optional<AudioComponentDescription>& description,
                                                 std::function<void()> completionHandler);
    void onFoundComponent();

    std::weak_ptr<AUExtensionManagerDelegate> delegate_;
    std::shared_ptr<AUAudioUnit> audioUnit_; // main thread
    const std::string componentName_ = "FLNR: VYK Wimbrax Extension (AU)";
    const AudioComponentDescription componentDescription_{0x61756D66 /* aumf */, 0x766B7762 /* vkwb */,
                                                          0x464C4E52 /* FLNR */, 2, 0};
    mutable std::mutex availableMutex_;
    std::vector<std::shared_ptr<AVAudioUnitComponent>> availableAudioUnits_;
};
