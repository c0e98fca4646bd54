#pragma once
// The panel's text box: a string laid out in a rectangle with a named font, an
// alignment and a colour, centred vertically (or bottom-aligned) and cut off at
// the rectangle's edges; and the value label texts of the controls canvas.
//
// Thread rules: main thread (the thread that draws).
#include "coregraphics/CGGeometry.h"
#include "uikit/NSStringDrawing.h"
#include "uikit/UIColor.h"

#include <string>
#include <string_view>

namespace vyk::ui {

enum class VerticalPlacement { centred, bottom };

// Draws into the current context. A font name the font table does not know, or a
// rectangle that is not drawable, draws nothing.
void drawTextBox(std::string_view text, CGRect rect, std::string_view fontName, CGFloat size, UIColor colour,
                 NSTextAlignment alignment, VerticalPlacement placement = VerticalPlacement::centred);

// round(x) with halves away from zero, printed without a sign on zero; 0 for a
// value that is not finite, and kept within +-1e9.
std::string roundedText(CGFloat x);

std::string stereoWidthText(CGFloat w); // "stereo width: <round((2w - 1) x 100)>%"
std::string panoramaText(CGFloat p);    // "panorama: <round((2p - 1) x 100)>%"
std::string phaseShiftText(CGFloat s);  // "phase shift: <round(s x 441)> samples ( xxx ms )"

} // namespace vyk::ui
