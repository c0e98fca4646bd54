#pragma once
// Text over pango with the panel's named fonts.
//
// Fonts are looked up by the names the panel uses through one table of
// installed families (first present wins). Sizes are absolute (one unit of size
// is one user unit); hinting is off and glyph positions are not rounded, so a
// layout at 2x is exactly the 1x layout scaled: the same line breaks, the same
// extents.
//
// Thread rules: one thread at a time per thread's font map (the main thread
// draws); each thread has its own pango context.
#include "coregraphics/CGColor.h"
#include "coregraphics/CGContext.h"

#include <optional>
#include <string>
#include <string_view>

namespace vyk::gfx {

enum class TextAlignment { left, center, right };

// The family, weight and narrowness a font name resolves to.
struct FontFace {
    std::string family;
    bool bold = false;
    bool isFallback = false; // not the first choice of the table
};

// Empty for a name the table does not know. A fallback prints one warning line.
std::optional<FontFace> resolveFont(std::string_view name);

// The family fontconfig actually loads for the face (tests: a missing font
// package shows as a substitute here).
std::string loadedFamily(const FontFace& face, double size);

struct TextStyle {
    FontFace face;
    double size = 12;
    CGColor colour{0, 0, 0, 1};
    TextAlignment alignment = TextAlignment::left;
};

// The logical size of the text laid out `wrapWidth` wide (words wrap), or on
// one line per paragraph when `wrapWidth` is not a positive finite number.
// A size that is not a positive finite number measures as zero.
CGSize measureText(std::string_view text, const TextStyle& style, double wrapWidth);

// Lays the text out from the top of `rect`, `rect.width()` wide, aligned in it,
// and draws it clipped to `rect` with the context's global alpha. Leaves the
// context's state and cairo's current path as they were (no path).
void drawText(CGContext& context, std::string_view text, CGRect rect, const TextStyle& style);

} // namespace vyk::gfx
