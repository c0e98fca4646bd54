#pragma once
// Makes a view fill its superview, and keep filling it as the superview is
// resized. A view without a superview is left alone. Main thread.
#include "uikit/UIView.h"

void pinToSuperviewEdges(UIView& view);
