#include "ui/VYKOrmeltaView.h"

#include "foundation/Console.h"
#include "ui/AudioUnitViewController.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr CGFloat kPanelWidth = 680;
constexpr CGFloat kPanelHeight = 600;
constexpr CGFloat kBandBarTop = 70;

using Path = UIBezierPath VYKOrmeltaViewBase::*;
struct HotSpot {
    Path path;
    const char* mode;
};

// Inside the band-bar area, tested with the point moved into band-bar units.
constexpr HotSpot kBandBarSpots[] = {
    {&VYKOrmeltaViewBase::hotspotSplit1Path, "split1"},    {&VYKOrmeltaViewBase::hotspotSplit2Path, "split2"},
    {&VYKOrmeltaViewBase::hotspotRangeLPPath, "range_lp"}, {&VYKOrmeltaViewBase::hotspotRangeBPPath, "range_bp"},
    {&VYKOrmeltaViewBase::hotspotRangeHPPath, "range_hp"},
};

// Everywhere else, the first hit wins.
constexpr HotSpot kPanelSpots[] = {
    {&VYKOrmeltaViewBase::hotspotSwapChannelsPath, "swap"},
    {&VYKOrmeltaViewBase::hotspotInvertChannelPath, "invert"},
    {&VYKOrmeltaViewBase::hotspotRecoverMonoPath, "recover"},
    {&VYKOrmeltaViewBase::hotspotTestMonoPath, "mono"},
    {&VYKOrmeltaViewBase::hotspotNormalizedPath, "normalized"},
    {&VYKOrmeltaViewBase::hotspotMainPath, "main"},
    {&VYKOrmeltaViewBase::hotspotOscillographPath, "correlograph"},
    {&VYKOrmeltaViewBase::hotspotPhaseShiftPath, "phaseshift"},
    {&VYKOrmeltaViewBase::hotspotPanoramaPath, "panorama"},
    {&VYKOrmeltaViewBase::hotspotStereoWidthPath, "width"},
    {&VYKOrmeltaViewBase::hotspotStereoWidthResetPath, "reset_width"},
    {&VYKOrmeltaViewBase::hotspotPanoramaResetPath, "reset_panorama"},
    {&VYKOrmeltaViewBase::hotspotActiveLPPath, "active_lp"},
    {&VYKOrmeltaViewBase::hotspotActiveBPPath, "active_bp"},
    {&VYKOrmeltaViewBase::hotspotActiveHPPath, "active_hp"},
    {&VYKOrmeltaViewBase::hotspotCaption2Path, "caption2"},
    {&VYKOrmeltaViewBase::hotspotButtonAllpassPath, "allpass"},
    {&VYKOrmeltaViewBase::hotspotButtonMultibandPath, "multiband"},
    {&VYKOrmeltaViewBase::hotspotCaption1Path, "caption1"},
};

// NaN stays where it started: no comparison lets it through.
double clamp01(double x, double fallback) {
    if (!std::isfinite(x)) return std::isnan(x) ? fallback : (x > 0 ? 1.0 : 0.0);
    return std::clamp(x, 0.0, 1.0);
}

float clampUnit(float a) { return std::isnan(a) ? 0.0f : std::clamp(a, -1.0f, 1.0f); }

// The band shown, always a valid index of the four-element arrays.
std::size_t band(const VYKOrmeltaViewBase& b) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(b.currentMode, 0, 3));
}

} // namespace

VYKOrmeltaView::VYKOrmeltaView(CGRect frame) : UIControl(frame), baseClass_(std::make_unique<VYKOrmeltaViewBase>()) {}

void VYKOrmeltaView::setViewController(AudioUnitViewController* controller) {
    viewController_ = controller;
    baseClass_->viewController = controller;
}

std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> VYKOrmeltaView::audioUnit() const {
    return viewController_ ? viewController_->audioUnit() : nullptr;
}

void VYKOrmeltaView::setContrast(CGFloat contrast) {
    baseClass_->colorContrast = UIColor(1 - contrast, 1 - contrast, 1 - contrast, 1);
    baseClass_->colorContrastInverted = UIColor(contrast, contrast, contrast, 1);
    setNeedsDisplay();
}

void VYKOrmeltaView::draw(CGRect rect) {
    if (isHidden()) return;
    const CGRect b = bounds();
    // The panel's pixels are kept while nothing it shows changes, so the 25 Hz
    // correlograph refresh does not rasterise it again.
    baseClass_->drawCached(b);
    // The same fit the model applies, kept per view: touches map through it.
    const CGFloat s = std::min(b.size.width / kPanelWidth, b.size.height / kPanelHeight);
    if (std::isfinite(s) && s > 0) {
        drawScale_ = s;
        drawOrigin_ = {b.origin.x + (b.size.width - kPanelWidth * s) / 2,
                       b.origin.y + (b.size.height - kPanelHeight * s) / 2};
    } else {
        drawScale_ = 0;
    }
}

std::optional<CGPoint> VYKOrmeltaView::panelPoint(CGPoint p) const {
    if (!(drawScale_ > 0) || !std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    return CGPoint{(p.x - drawOrigin_.x) / drawScale_, (p.y - drawOrigin_.y) / drawScale_};
}

void VYKOrmeltaView::setHotspotMode(CGPoint location) {
    const VYKOrmeltaViewBase& b = *baseClass_;
    hotspotMode_.clear();
    if (b.hotspotMultiPath.contains(location)) {
        hotspotMode_ = "control";
        const CGPoint bar{location.x, location.y - kBandBarTop};
        for (const HotSpot& spot : kBandBarSpots) {
            if ((b.*spot.path).contains(bar)) {
                hotspotMode_ = spot.mode;
                break;
            }
        }
        // Markers that meet: take the one that can move away from the end they sit at.
        if ((hotspotMode_ == "split1" || hotspotMode_ == "split2") && b.valueSplit1 == b.valueSplit2)
            hotspotMode_ = b.valueSplit1 < 0.5 ? "split2" : "split1";
    } else {
        for (const HotSpot& spot : kPanelSpots) {
            if ((b.*spot.path).contains(location)) {
                hotspotMode_ = spot.mode;
                break;
            }
        }
    }
    Console::write(hotspotMode_ + "\n");
}

void VYKOrmeltaView::report(std::int64_t address, double value) {
    delegate->onVYKOrmeltaViewParameter(address, static_cast<float>(value));
}

void VYKOrmeltaView::setParameter(std::int64_t address, float value) {
    VYKOrmeltaViewBase& b = *baseClass_;
    const bool on = value >= 0.5f;
    if (!std::isfinite(value)) {
        // Nothing sensible to show; the panel keeps its state.
    } else if (address == 2) {
        const auto mode = static_cast<std::int64_t>(std::clamp(std::trunc(value), 0.0f, 3.0f));
        b.currentMode = static_cast<decltype(b.currentMode)>(mode);
        // The whole band state follows, as a touch on the panel would leave it.
        b.isAllpass = mode == 0;
        if (mode != 0) {
            b.isRangeSelected = {false, false, false, false};
            b.isRangeSelected[static_cast<std::size_t>(mode)] = true;
            lastCurrentMode_ = mode;
        }
    } else if (address == 3) {
        b.valueSplit1 = value;
    } else if (address == 4) {
        b.valueSplit2 = value;
    } else if (address >= 5 && address <= 7) {
        b.isRangeActive[0] = true;
        b.isRangeActive[static_cast<std::size_t>(address - 4)] = on;
    } else if (address >= 14 && address <= 41) {
        const auto i = static_cast<std::size_t>((address - 14) % 4);
        switch ((address - 14) / 4) {
        case 0:
            b.valueStereoWidth[i] = value;
            break;
        case 1:
            b.valuePanorama[i] = value;
            break;
        case 2:
            b.valuePhaseShift[i] = value;
            break;
        case 3:
            b.isSwapOn[i] = on;
            break;
        case 4:
            b.isInvert[i] = on;
            break;
        case 5:
            b.isRecover[i] = on;
            break;
        default:
            b.isMonoOn[i] = on;
            break;
        }
    }
    setNeedsDisplay();
}

void VYKOrmeltaView::touchesBegan(const UITouchSet& touches, const UIEvent*) {
    if (!viewController_ || !delegate || touches.empty()) return;
    const std::optional<CGPoint> p = panelPoint(touches.front()->location(this));
    if (p) {
        startLocation_ = *p;
        setHotspotMode(*p);
    } else {
        hotspotMode_.clear();
    }
    if (hotspotMode_.empty()) {
        viewController_->touchesLocked = false;
        return;
    }
    viewController_->touchesLocked = true;
    began(*p);
    setNeedsDisplay();
    sendActions(UIControlEvents::touchDown);
}

void VYKOrmeltaView::began(CGPoint) {
    VYKOrmeltaViewBase& b = *baseClass_;
    const std::size_t m = band(b);
    const auto toggle = [&](auto&& flag, std::int64_t address) {
        flag = !flag;
        report(address, flag ? 1.0 : 0.0);
    };
    const auto option = [&](bool& flag, std::int64_t address) {
        flag = !flag;
        delegate->onVYKOrmeltaViewOption(address, flag ? 1.0f : 0.0f);
    };
    const auto select = [&](std::int64_t mode) {
        b.currentMode = static_cast<decltype(b.currentMode)>(mode);
        lastCurrentMode_ = mode;
        b.isRangeSelected = {false, false, false, false};
        b.isRangeSelected[static_cast<std::size_t>(mode)] = true;
        report(2, static_cast<double>(mode));
    };
    const std::string& h = hotspotMode_;
    const auto i = static_cast<std::int64_t>(m);
    if (h == "swap")
        toggle(b.isSwapOn[m], 26 + i);
    else if (h == "invert")
        toggle(b.isInvert[m], 30 + i);
    else if (h == "recover")
        toggle(b.isRecover[m], 34 + i);
    else if (h == "mono")
        toggle(b.isMonoOn[m], 38 + i);
    else if (h == "normalized")
        option(b.isNormalized, 48);
    else if (h == "main") {
        startValue_ = b.valuePanorama[m];
        startValue2_ = b.valueStereoWidth[m];
    } else if (h == "correlograph")
        option(b.isOscillograph, 49);
    else if (h == "phaseshift") {
        b.isOptionPhaseShiftActive = true;
        startValue_ = b.valuePhaseShift[m];
    } else if (h == "panorama") {
        b.isOptionPanoramaActive = true;
        startValue_ = b.valuePanorama[m];
    } else if (h == "width") {
        b.isOptionStereoWidthActive = true;
        startValue_ = b.valueStereoWidth[m];
    } else if (h == "reset_width") {
        b.isStereoWidthResetActive = true;
        report(14 + i, 0.5);
    } else if (h == "reset_panorama") {
        b.isPanoramaResetActive = true;
        report(18 + i, 0.5);
    } else if (h == "active_lp" || h == "active_bp" || h == "active_hp") {
        const std::size_t r = h == "active_lp" ? 1 : h == "active_bp" ? 2 : 3;
        b.isRangeActive[0] = true;
        toggle(b.isRangeActive[r], 4 + static_cast<std::int64_t>(r));
    } else if (h == "allpass") {
        // Already in all-pass: keep the remembered band.
        if (b.currentMode != 0) lastCurrentMode_ = b.currentMode;
        b.isAllpass = true;
        b.currentMode = 0;
        report(2, 0.0);
    } else if (h == "multiband") {
        b.isAllpass = false;
        b.currentMode = static_cast<decltype(b.currentMode)>(lastCurrentMode_ != 0 ? lastCurrentMode_ : 2);
        report(2, static_cast<double>(b.currentMode));
    } else if (h == "range_lp")
        select(1);
    else if (h == "range_bp") {
        startValue_ = b.valueSplit1;
        startValue2_ = b.valueSplit2;
        select(2);
    } else if (h == "range_hp")
        select(3);
    else if (h == "split1") {
        b.isSplit1Active = true;
        startValue_ = b.valueSplit1;
    } else if (h == "split2") {
        b.isSplit2Active = true;
        startValue_ = b.valueSplit2;
    }
}

void VYKOrmeltaView::touchesMoved(const UITouchSet& touches, const UIEvent*) {
    if (!viewController_ || !delegate || hotspotMode_.empty() || touches.empty()) return;
    const std::optional<CGPoint> p = panelPoint(touches.front()->location(this));
    if (!p) return;
    moved(*p);
    setNeedsDisplay();
    sendActions(UIControlEvents::valueChanged);
}

void VYKOrmeltaView::knob(std::array<double, 4>& values, std::int64_t firstAddress, float a) {
    const std::size_t m = band(*baseClass_);
    values[m] = clamp01(startValue_ - a, startValue_);
    report(firstAddress + static_cast<std::int64_t>(m), values[m]);
}

// The marker stops at the other one; true when it wrote and reported.
bool VYKOrmeltaView::dragSplit1(double start, float a) {
    VYKOrmeltaViewBase& b = *baseClass_;
    double v = clamp01(start - a, b.valueSplit1);
    if (v > b.valueSplit2) {
        v = b.valueSplit2;
        if (b.valueSplit1 == b.valueSplit2) return false;
    }
    b.valueSplit1 = v;
    report(3, v);
    return true;
}

bool VYKOrmeltaView::dragSplit2(double start, float a) {
    VYKOrmeltaViewBase& b = *baseClass_;
    double v = clamp01(start - a, b.valueSplit2);
    if (v < b.valueSplit1) {
        v = b.valueSplit1;
        if (b.valueSplit2 == b.valueSplit1) return false;
    }
    b.valueSplit2 = v;
    report(4, v);
    return true;
}

void VYKOrmeltaView::moved(CGPoint p) {
    VYKOrmeltaViewBase& b = *baseClass_;
    // The finger's travel is divided by the scale once more: at scale 2 a point of
    // travel is a quarter unit.
    const double dx = (p.x - startLocation_.x) / drawScale_ * scaler_;
    const double dy = (p.y - startLocation_.y) / drawScale_ * scaler_;
    const float a = clampUnit(static_cast<float>(dy - dx) / 2.0f / 300.0f);
    const std::string& h = hotspotMode_;
    const std::size_t m = band(b);
    if (h == "phaseshift")
        knob(b.valuePhaseShift, 22, a);
    else if (h == "panorama")
        knob(b.valuePanorama, 18, a);
    else if (h == "width")
        knob(b.valueStereoWidth, 14, a);
    else if (h == "main") {
        const float ax = clampUnit(static_cast<float>(-dx) / 600.0f);
        b.valuePanorama[m] = clamp01(startValue_ - ax, startValue_);
        report(18 + static_cast<std::int64_t>(m), b.valuePanorama[m]);
        const float ay = clampUnit(static_cast<float>(dy) / 600.0f);
        b.valueStereoWidth[m] = clamp01(startValue2_ - ay, startValue2_);
        report(14 + static_cast<std::int64_t>(m), b.valueStereoWidth[m]);
    } else if (h == "split1")
        dragSplit1(startValue_, a);
    else if (h == "split2")
        dragSplit2(startValue_, a);
    else if (h == "range_bp") {
        if (dragSplit1(startValue_, a)) dragSplit2(startValue2_, a);
    }
}

void VYKOrmeltaView::clearHighlights() {
    VYKOrmeltaViewBase& b = *baseClass_;
    b.isOptionPhaseShiftActive = b.isOptionPanoramaActive = b.isOptionStereoWidthActive = false;
    b.isSplit1Active = b.isSplit2Active = false;
    b.isStereoWidthResetActive = b.isPanoramaResetActive = false;
}

void VYKOrmeltaView::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    if (!viewController_) return;
    touchesMoved(touches, event);
    clearHighlights();
    hotspotMode_.clear();
    viewController_->touchesLocked = false;
    setNeedsDisplay();
    const bool inside = !touches.empty() && bounds().contains(touches.front()->location(this));
    sendActions(inside ? UIControlEvents::touchUpInside : UIControlEvents::touchUpOutside);
}

void VYKOrmeltaView::touchesCancelled(const UITouchSet&, const UIEvent*) {
    if (!viewController_) return;
    clearHighlights();
    hotspotMode_.clear();
    viewController_->touchesLocked = false;
    setNeedsDisplay();
    sendActions(UIControlEvents::touchCancel);
}
