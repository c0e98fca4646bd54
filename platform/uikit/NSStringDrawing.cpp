#include "uikit/NSStringDrawing.h"

#include "uikit/UIGraphics.h"

#include <limits>

namespace {
vyk::gfx::TextStyle styleOf(const NSStringAttributes& a) {
    const UIFont font = a.font ? *a.font : UIFont::systemFont(12);
    return {font.face(), font.pointSize(), a.foregroundColor.cgColor(),
            static_cast<vyk::gfx::TextAlignment>(a.paragraphStyle.alignment)};
}
} // namespace

CGRect NSString::boundingRect(std::string_view text, CGSize size, unsigned options,
                              const NSStringAttributes& attributes) {
    const double wrap = (options & usesLineFragmentOrigin) ? size.width : std::numeric_limits<double>::infinity();
    const CGSize extent = vyk::gfx::measureText(text, styleOf(attributes), wrap);
    return {0, 0, extent.width, extent.height};
}

void NSString::draw(std::string_view text, CGRect rect, const NSStringAttributes& attributes) {
    if (CGContext* cx = UIGraphicsGetCurrentContext()) vyk::gfx::drawText(*cx, text, rect, styleOf(attributes));
}
