#pragma once
// How a drawing class maps its fixed canvas into the rectangle it is asked to draw
// into. One rule for every drawing class of the panel; each class names its own
// behaviour type, which differ only in the scale record they write.
//
// Thread rules: plain values; the records are written while drawing (main thread).
#include "coregraphics/CGGeometry.h"

#include <cstdint>
#include <optional>

namespace vyk::ui {

// The rule. Returns `rect` unchanged (and records nothing) when `target` equals it,
// when `target` is the zero rectangle, or when `rect` has no finite, non-zero size to
// scale from. Otherwise scales the standardised canvas (raw 0 fit, 1 fill,
// 2 independent, 3 unscaled), centres it in `target`, writes the scale factors into
// `*record` when given and returns the placed canvas.
CGRect applyResizing(int raw, CGRect rect, CGRect target, CGSize* record);

// True when a drawer can draw into `r`: finite, with a positive width and height.
bool isDrawable(CGRect r);

// A resizing behaviour whose apply() writes `Record` (none when null).
template <CGSize* Record>
class ResizingBehaviorWithRecord {
public:
    enum Case : int { uniformFit = 0, uniformFill = 1, independent = 2, unscaled = 3 };

    constexpr ResizingBehaviorWithRecord(Case c = uniformFit) : case_(c) {}
    // The case of a raw value 0 to 3; none for any other value.
    static std::optional<ResizingBehaviorWithRecord> fromRaw(std::int64_t raw) {
        if (raw < 0 || raw > 3) return std::nullopt;
        return ResizingBehaviorWithRecord(static_cast<Case>(raw));
    }
    constexpr int rawValue() const { return case_; }
    CGRect apply(CGRect rect, CGRect target) const { return applyResizing(case_, rect, target, Record); }

    friend constexpr bool operator==(ResizingBehaviorWithRecord a, ResizingBehaviorWithRecord b) {
        return a.case_ == b.case_;
    }

private:
    Case case_;
};

} // namespace vyk::ui
