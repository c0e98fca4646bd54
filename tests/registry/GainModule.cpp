// A small component module for the registry tests: a gain of one half with a trivial
// view controller. A description with subtype 'fail' makes its unit refuse
// construction, like a failing factory. The controller's view names, in its
// accessibility identifier, the unit it made and whether the view was there first.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AUAudioUnit.h"
#include "audiotoolbox/AUAudioUnitFactory.h"

#include <cstdint>
#include <string>

namespace {

constexpr OSType kFailingSubType = 0x6661696C; // 'fail'

class GainUnit final : public AUAudioUnit {
public:
    explicit GainUnit(const AudioComponentDescription& description) {
        if (description.componentSubType == kFailingSubType)
            throw AUAudioUnitError(kAudioUnitErr_FailedInitialization, "The test gain refuses to start.");
        initialize(description, 0);
    }

private:
    AUInternalRenderBlock internalRenderBlock() override {
        return
            [](AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp, AUAudioFrameCount frames, NSInteger,
               AudioBufferList* output, const AURenderEvent*, const AURenderPullInputBlock* pull) -> AUAudioUnitStatus {
                if (!pull) return kAudioUnitErr_NoConnection;
                const AUAudioUnitStatus status = (*pull)(flags, timestamp, frames, 0, output);
                if (status != noErr) return status;
                for (std::uint32_t b = 0; b < output->mNumberBuffers; ++b) {
                    float* samples = static_cast<float*>(output->mBuffers[b].mData);
                    for (AUAudioFrameCount i = 0; i < frames; ++i) samples[i] *= 0.5f;
                }
                return noErr;
            };
    }
};

class GainViewController final : public AUViewController, public AUAudioUnitFactory {
public:
    std::shared_ptr<AUAudioUnit> createAudioUnit(const AudioComponentDescription& description) override {
        const bool viewFirst = isViewLoaded();
        audioUnit_ = std::make_shared<GainUnit>(description);
        view()->accessibilityIdentifier =
            std::to_string(reinterpret_cast<std::uintptr_t>(audioUnit_.get())) + (viewFirst ? " view first" : "");
        return audioUnit_;
    }

private:
    std::shared_ptr<AUAudioUnit> audioUnit_;
};

} // namespace

AUDIO_COMPONENT_EXPORT void VYKTestGainFactory(const AudioComponentDescription* description,
                                               AudioComponentFactoryResult* result) noexcept {
    makeAudioComponentInstance<GainViewController>(description, result);
}
