#pragma once
// The image framework's colour: the components of a UIColor, read back.
#include "uikit/UIColor.h"

class CIColor {
public:
    explicit CIColor(const UIColor& colour) : c_(colour.cgColor()) {}
    double red() const { return c_.red; }
    double green() const { return c_.green; }
    double blue() const { return c_.blue; }
    double alpha() const { return c_.alpha; }

private:
    CGColor c_;
};
