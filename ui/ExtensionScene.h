#pragma once
// The extension's scene: builds the controller's views (the panel container with
// the frame, the control view, the correlograph and the info overlay; the
// brightness and freeze buttons and the brightness slider) and its gesture
// recognisers, and connects the outlets and actions. Throws UISceneError when an
// outlet is left unconnected.
// Thread rules: main thread, from the controller's view loading.
#include "uikit/UIView.h"

class AudioUnitViewController;

void buildExtensionScene(AudioUnitViewController& controller, UIView& root);
