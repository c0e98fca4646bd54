#pragma once
// The current graphics context that paths, colours and text draw into.
// Thread rules: a stack per thread; views push their context around draw().
#include "coregraphics/CGContext.h"

// Null when nothing is being drawn.
CGContext* UIGraphicsGetCurrentContext();
void UIGraphicsPushContext(CGContext& context);
void UIGraphicsPopContext();

namespace vyk::ui {
// Makes `context` current for the scope.
class CurrentContext {
public:
    explicit CurrentContext(CGContext& context) { UIGraphicsPushContext(context); }
    ~CurrentContext() { UIGraphicsPopContext(); }
    CurrentContext(const CurrentContext&) = delete;
    CurrentContext& operator=(const CurrentContext&) = delete;
};
} // namespace vyk::ui
