#pragma once
// The principal view controller of a component's module: it shows the unit's panel and,
// as the module's AUAudioUnitFactory, makes the unit. A host gets it from the unit's
// requestViewController.
// Thread rules: main thread.
#include "uikit/UIViewController.h"

class AUViewController : public UIViewController {
public:
    ~AUViewController() override;
};
