#include "shared/ColorComponents.h"

#include "uikit/CIColor.h"

double redValue(const UIColor& colour) { return CIColor(colour).red(); }
double greenValue(const UIColor& colour) { return CIColor(colour).green(); }
double blueValue(const UIColor& colour) { return CIColor(colour).blue(); }
double alphaValue(const UIColor& colour) { return CIColor(colour).alpha(); }
