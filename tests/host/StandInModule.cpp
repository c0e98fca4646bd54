// The effect's unit behind a plain green view controller: the host's tests find it
// under the effect's own codes while the bundle holds no effect module. Once the
// bundle has one, the registry lists that one first and the tests use it.
#include "audiotoolbox/AUAudioUnitFactory.h"
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"

namespace {

class StandInViewController final : public AUViewController, public AUAudioUnitFactory {
public:
    void viewDidLoad() override { view()->setBackgroundColor(UIColor(0.2, 0.8, 0.3, 1)); }
    std::shared_ptr<AUAudioUnit> createAudioUnit(const AudioComponentDescription& description) override {
        unit_ = std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(description);
        return unit_;
    }

private:
    std::shared_ptr<AUAudioUnit> unit_;
};

} // namespace

AUDIO_COMPONENT_EXPORT void VYKStandInFactory(const AudioComponentDescription* description,
                                              AudioComponentFactoryResult* result) noexcept {
    makeAudioComponentInstance<StandInViewController>(description, result);
}
