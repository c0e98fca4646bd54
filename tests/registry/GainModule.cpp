// A small component module for the registry tests: a gain of one half. A description
// with subtype 'fail' makes its unit refuse construction, like a failing factory.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AUAudioUnit.h"
#include "audiotoolbox/AudioComponentFactoryFunction.h"

#include <vector>

namespace {

constexpr OSType kFailingSubType = 0x6661696C;  // 'fail'

class GainUnit final : public AUAudioUnit {
public:
    explicit GainUnit(const AudioComponentDescription& description) {
        if (description.componentSubType == kFailingSubType)
            throw AUAudioUnitError(kAudioUnitErr_FailedInitialization, "The test gain refuses to start.");
        initialize(description, 0);
    }

private:
    AUInternalRenderBlock internalRenderBlock() override {
        return [](AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                  AUAudioFrameCount frames, NSInteger, AudioBufferList* output, const AURenderEvent*,
                  const AURenderPullInputBlock* pull) -> AUAudioUnitStatus {
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

} // namespace

AUDIO_COMPONENT_EXPORT void VYKTestGainFactory(const AudioComponentDescription* description,
                                               AudioComponentFactoryResult* result) noexcept {
    try {
        result->audioUnit = std::make_shared<GainUnit>(*description);
    } catch (const AUAudioUnitError& error) {
        result->error = error;
    } catch (const std::exception& error) {
        result->error = AUAudioUnitError(kAudioUnitErr_FailedInitialization, error.what());
    }
}
