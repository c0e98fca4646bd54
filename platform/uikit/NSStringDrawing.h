#pragma once
// Measuring and drawing a string with attributes, as the platform's string
// drawing does. Strings are UTF-8; invalid bytes are drawn as U+FFFD.
// Thread rules: the thread that draws (the main thread).
#include "coregraphics/CGGeometry.h"
#include "uikit/UIColor.h"
#include "uikit/UIFont.h"

#include <optional>
#include <string_view>

enum class NSTextAlignment { left = 0, center = 1, right = 2 };

struct NSParagraphStyle {
    NSTextAlignment alignment = NSTextAlignment::left;
};
using NSMutableParagraphStyle = NSParagraphStyle;

struct NSStringAttributes {
    std::optional<UIFont> font; // none: the system font at 12
    UIColor foregroundColor = UIColor::black();
    NSParagraphStyle paragraphStyle;
};

// Option bits of boundingRect.
enum NSStringDrawingOptions : unsigned { usesLineFragmentOrigin = 1 };

namespace NSString {
// The text's extent: with usesLineFragmentOrigin its lines wrap at
// `size.width`; otherwise it is measured on one line. Origin (0, 0).
CGRect boundingRect(std::string_view text, CGSize size, unsigned options, const NSStringAttributes& attributes);
// Draws into the current context, wrapped to the rectangle's width from its
// top, clipped to the rectangle.
void draw(std::string_view text, CGRect rect, const NSStringAttributes& attributes);
} // namespace NSString
