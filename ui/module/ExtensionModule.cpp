// The entry point of the VYK-Wimbrax-Extension module: the one symbol it exports.
// It makes the principal view controller, loads its view, then asks it for the unit.
#include "audiotoolbox/AUAudioUnitFactory.h"
#include "ui/AudioUnitViewController.h"

AUDIO_COMPONENT_EXPORT void VYKWimbraxExtensionFactory(const AudioComponentDescription* description,
                                                       AudioComponentFactoryResult* result) noexcept {
    makeAudioComponentInstance<AudioUnitViewController>(description, result);
}
