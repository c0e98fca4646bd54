#pragma once
// What the panel's drawing classes need of the extension's view controller
// (AudioUnitViewController implements it). The drawing classes hold it as a
// non-owning pointer that the controller clears before it goes away.
//
// Thread rules: main thread only.
#include "audiotoolbox/AUAudioTypes.h"

#include <memory>

class VYK_Wimbrax_Extension_AudioUnit;

class PanelController {
public:
    virtual ~PanelController() = default;
    // The unit the controller made, or null before it made one.
    virtual std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit() const = 0;
    // The value of a parameter of the unit's tree; 0 without a tree or for an
    // address the tree lacks.
    virtual float getParameter(NSInteger address) = 0;
};
