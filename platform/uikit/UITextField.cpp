#include "uikit/UITextField.h"

#include "uikit/UIBezierPath.h"
#include "uikit/UIGraphics.h"

#include <cmath>
#include <limits>
#include <memory>

namespace vyk::ui {
std::weak_ptr<UIView>& keyboardFocus();
}

namespace {
constexpr CGFloat padding = 6;

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Keeps whole, valid UTF-8 sequences that are not control characters.
std::string cleaned(std::string_view in) {
    std::string out;
    for (std::size_t i = 0; i < in.size();) {
        const auto c = static_cast<unsigned char>(in[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool ok = n != 0 && i + n <= in.size();
        for (std::size_t k = 1; ok && k < n; ++k) ok = continuation(static_cast<unsigned char>(in[i + k]));
        if (ok) {
            // Overlong forms, surrogates and code points past U+10FFFF are no text.
            std::uint32_t cp = n == 1 ? c : c & (0x7F >> n);
            for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
            static constexpr std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
            ok = cp >= least[n] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF) && cp >= 0x20 && cp != 0x7F;
        }
        if (ok) out.append(in.substr(i, n));
        i += ok ? n : 1;
    }
    return out;
}

std::size_t nextBoundary(const std::string& s, std::size_t i) {
    if (i >= s.size()) return s.size();
    ++i;
    while (i < s.size() && continuation(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}

std::size_t previousBoundary(const std::string& s, std::size_t i) {
    if (i == 0) return 0;
    --i;
    while (i > 0 && continuation(static_cast<unsigned char>(s[i]))) --i;
    return i;
}
} // namespace

UITextField::~UITextField() = default;

void UITextField::setText(std::string text) {
    text_ = cleaned(text);
    cursor_ = anchor_ = text_.size();
    scrollToCursor();
    setNeedsDisplay();
}

void UITextField::setPlaceholder(std::string placeholder) {
    placeholder_ = std::move(placeholder);
    setNeedsDisplay();
}

void UITextField::setFont(const UIFont& font) {
    font_ = font;
    setNeedsDisplay();
}

bool UITextField::becomeFirstResponder() {
    auto& focus = vyk::ui::keyboardFocus();
    if (auto old = focus.lock(); old && old.get() != this) old->setNeedsDisplay();
    focus = weak_from_this();
    setNeedsDisplay();
    return true;
}

void UITextField::resignFirstResponder() {
    if (isFirstResponder()) vyk::ui::keyboardFocus().reset();
    setNeedsDisplay();
}

bool UITextField::isFirstResponder() const { return vyk::ui::keyboardFocus().lock().get() == this; }

void UITextField::select(std::size_t anchor, std::size_t cursor) {
    auto snap = [this](std::size_t i) {
        i = std::min(i, text_.size());
        while (i > 0 && i < text_.size() && continuation(static_cast<unsigned char>(text_[i]))) --i;
        return i;
    };
    anchor_ = snap(anchor);
    cursor_ = snap(cursor);
    scrollToCursor();
    setNeedsDisplay();
}

bool UITextField::handleKey(const UIKeyPress& key) {
    const std::size_t start = selectionStart(), end = selectionEnd();
    auto move = [&](std::size_t to, std::size_t collapsed) {
        select(key.shift ? anchor_ : (start != end ? collapsed : to), key.shift || start == end ? to : collapsed);
    };
    switch (key.key) {
    case UIKey::left:
        move(previousBoundary(text_, cursor_), start);
        return true;
    case UIKey::right:
        move(nextBoundary(text_, cursor_), end);
        return true;
    case UIKey::home:
        select(key.shift ? anchor_ : 0, 0);
        return true;
    case UIKey::end:
        select(key.shift ? anchor_ : text_.size(), text_.size());
        return true;
    case UIKey::backspace:
        if (start == end) anchor_ = previousBoundary(text_, cursor_);
        replaceSelection({});
        return true;
    case UIKey::deleteForward:
        if (start == end) anchor_ = nextBoundary(text_, cursor_);
        replaceSelection({});
        return true;
    default:
        return false; // Enter, Escape, Tab and the rest belong to the dialog
    }
}

void UITextField::insertText(std::string_view text) {
    const std::string clean = cleaned(text);
    if (!clean.empty()) replaceSelection(clean);
}

void UITextField::replaceSelection(std::string_view with) {
    const std::size_t start = selectionStart(), end = selectionEnd();
    if (start == end && with.empty()) return;
    text_.replace(start, end - start, with);
    cursor_ = anchor_ = start + with.size();
    edited();
}

void UITextField::edited() {
    scrollToCursor();
    setNeedsDisplay();
    sendActions(UIControlEvents::valueChanged);
}

NSStringAttributes UITextField::attributes() const { return {font_, UIColor::black(), {}}; }

CGFloat UITextField::widthOf(std::size_t bytes) const {
    if (bytes == 0) return 0;
    const auto inf = std::numeric_limits<CGFloat>::infinity();
    return NSString::boundingRect(std::string_view(text_).substr(0, bytes), {inf, 0}, 0, attributes()).width();
}

std::size_t UITextField::offsetAt(CGFloat x) const {
    const CGFloat target = x - padding + scroll_;
    std::size_t best = 0;
    CGFloat bestDistance = std::abs(target);
    for (std::size_t i = nextBoundary(text_, 0); i <= text_.size() && i > 0; i = nextBoundary(text_, i)) {
        const CGFloat d = std::abs(widthOf(i) - target);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
        if (i == text_.size()) break;
    }
    return best;
}

void UITextField::scrollToCursor() {
    const CGFloat room = std::max<CGFloat>(bounds().width() - 2 * padding, 1);
    const CGFloat x = widthOf(cursor_);
    if (x - scroll_ > room) scroll_ = x - room;
    if (x < scroll_) scroll_ = x;
    if (cursor_ == 0) scroll_ = 0;
}

void UITextField::touchesBegan(const UITouchSet& touches, const UIEvent* event) {
    UIControl::touchesBegan(touches, event);
    becomeFirstResponder();
    const std::size_t at = offsetAt(touches.front()->location(this).x);
    select(at, at);
}

void UITextField::touchesMoved(const UITouchSet& touches, const UIEvent* event) {
    UIControl::touchesMoved(touches, event);
    select(anchor_, offsetAt(touches.front()->location(this).x));
}

void UITextField::draw(CGRect) {
    CGContext* cx = UIGraphicsGetCurrentContext();
    if (!cx) return;
    const CGRect b = bounds();
    const bool focused = isFirstResponder();
    cx->setFillColor(UIColor::white().cgColor());
    cx->fill(b);
    auto frame = UIBezierPath::rect(b.insetBy(0.5, 0.5));
    frame.lineWidth = 1;
    (focused ? UIColor(0, 0.478, 1, 1) : UIColor(0.6, 0.6, 0.6, 1)).setStroke();
    frame.stroke();

    const auto inf = std::numeric_limits<CGFloat>::infinity();
    const CGFloat lineHeight = NSString::boundingRect("Ag", {inf, 0}, 0, attributes()).height();
    const CGFloat y = b.minY() + (b.height() - lineHeight) / 2;
    const CGFloat x0 = b.minX() + padding - scroll_;
    if (selectionStart() != selectionEnd()) {
        const CGFloat a = widthOf(selectionStart()), e = widthOf(selectionEnd());
        cx->setFillColor(UIColor(0.7, 0.84, 1, 1).cgColor());
        cx->fill({x0 + a, y, e - a, lineHeight});
    }
    if (text_.empty()) {
        NSStringAttributes grey = attributes();
        grey.foregroundColor = UIColor(0.6, 0.6, 0.6, 1);
        NSString::draw(placeholder_, {b.minX() + padding, y, b.width() - 2 * padding, lineHeight}, grey);
    } else {
        NSString::draw(text_, {x0, y, widthOf(text_.size()) + 2 * padding, lineHeight}, attributes());
    }
    if (focused) {
        cx->setFillColor(UIColor::black().cgColor());
        cx->fill({std::round(x0 + widthOf(cursor_)), y, 1, lineHeight});
    }
}
