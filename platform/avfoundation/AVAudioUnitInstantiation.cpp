// Instantiation of an installed component as an engine node.
#include "avfoundation/AVAudioUnit.h"

void AVAudioUnit::instantiate(const AudioComponentDescription& description, AudioComponentInstantiationOptions options,
                              InstantiationCompletion completion) {
    AUAudioUnit::instantiate(
        description, options,
        [completion = std::move(completion)](std::shared_ptr<AUAudioUnit> unit, std::optional<AUAudioUnitError> error) {
            completion(unit ? std::make_shared<AVAudioUnit>(std::move(unit)) : nullptr, std::move(error));
        });
}
