#pragma once
// The components of a colour, each read through the image framework's colour.
// Any thread.
#include "uikit/UIColor.h"

double redValue(const UIColor& colour);
double greenValue(const UIColor& colour);
double blueValue(const UIColor& colour);
double alphaValue(const UIColor& colour);
