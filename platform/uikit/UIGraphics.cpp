#include "uikit/UIGraphics.h"

#include <vector>

namespace {
std::vector<CGContext*>& stack() {
    thread_local std::vector<CGContext*> contexts;
    return contexts;
}
} // namespace

CGContext* UIGraphicsGetCurrentContext() { return stack().empty() ? nullptr : stack().back(); }

void UIGraphicsPushContext(CGContext& context) { stack().push_back(&context); }

void UIGraphicsPopContext() {
    if (!stack().empty()) stack().pop_back();
}
