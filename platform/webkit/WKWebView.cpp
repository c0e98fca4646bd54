#include "webkit/WKWebView.h"

#include "foundation/BrowserLauncher.h"
#include "foundation/Console.h"
#include "uikit/NSStringDrawing.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIWindow.h"
#include "webkit/PDFPages.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

namespace {

constexpr CGFloat kWheelStep = 40; // points per notch

void say(const std::string& line) { Console::write(line + "\n"); }

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string mimeTypeForExtension(const std::string& extension) {
    const std::string e = lower(extension);
    if (e == "pdf") return "application/pdf";
    if (e == "" || e == "html" || e == "htm") return "text/html";
    return "application/octet-stream";
}

bool startsWithPDFSignature(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[5] = {};
    return in.read(head, 5) && std::string(head, 5) == "%PDF-";
}

// One answer per decision: later calls are ignored, and none counts as cancel.
template <class Policy>
struct Decision {
    bool answered = false;
    Policy policy = Policy::cancel;
};

template <class Policy, class Ask>
Policy decideOnce(Ask ask) {
    auto decision = std::make_shared<Decision<Policy>>();
    ask([decision](Policy policy) {
        if (decision->answered) {
            say("WKWebView: A navigation decision was answered twice; the later answer is ignored.");
            return;
        }
        decision->answered = true;
        decision->policy = policy;
    });
    if (!decision->answered) {
        say("WKWebView: A navigation decision was not answered; it counts as cancel.");
        decision->answered = true;
    }
    return decision->policy;
}

// The mouse wheel scrolls (Ctrl with the wheel is a zoom gesture elsewhere).
class WheelScroll final : public UIGestureRecognizer {
public:
    void scrollWheel(CGPoint, double notches, bool control) override {
        if (auto* web = dynamic_cast<WKWebView*>(view()); web && !control)
            web->setContentOffset(web->contentOffset() - CGFloat(notches) * kWheelStep);
    }
};

} // namespace

WKWebView::WKWebView(CGRect frame) : UIView(frame) {
    setBackgroundColor(UIColor(0.85, 0.85, 0.85, 1));
    addGestureRecognizer(std::make_shared<WheelScroll>());
}

WKWebView::~WKWebView() = default;

int WKWebView::pageCount() const { return pages_ ? pages_->pageCount() : 0; }

CGFloat WKWebView::contentHeight() const { return pages_ ? pages_->height(bounds().width()) : 0; }

void WKWebView::setContentOffset(CGFloat y) {
    const CGFloat limit = std::max<CGFloat>(0, contentHeight() - bounds().height());
    const CGFloat clamped = std::isfinite(y) ? std::clamp<CGFloat>(y, 0, limit) : offset_;
    if (clamped == offset_) return;
    offset_ = clamped;
    setNeedsDisplay();
}

void WKWebView::load(const URLRequest& request) { navigate(WKNavigationAction{request.url, false}); }

void WKWebView::loadHTMLString(const std::string&, const std::optional<URL>& baseURL) {
    navigate(WKNavigationAction{baseURL ? *baseURL : *URL::parse("about:blank"), false});
}

void WKWebView::activateLink(const URL& url, bool targetsNewWindow) {
    const WKNavigationAction action{url, targetsNewWindow};
    if (!targetsNewWindow) return navigate(action);
    // A new window opens only as a view the UI delegate makes; this view stays as it is.
    if (auto delegate = uiDelegate.lock())
        delegate->webView(*this, WKWebViewConfiguration{}, action, WKWindowFeatures{});
}

WKNavigationActionPolicy WKWebView::decide(const WKNavigationAction& action) {
    auto delegate = navigationDelegate.lock();
    if (!delegate) return WKNavigationActionPolicy::allow;
    return decideOnce<WKNavigationActionPolicy>(
        [&](auto handler) { delegate->webView(*this, action, std::move(handler)); });
}

WKNavigationResponsePolicy WKWebView::decide(const WKNavigationResponse& response) {
    auto delegate = navigationDelegate.lock();
    if (!delegate) return WKNavigationResponsePolicy::allow;
    return decideOnce<WKNavigationResponsePolicy>(
        [&](auto handler) { delegate->webView(*this, response, std::move(handler)); });
}

void WKWebView::navigate(const WKNavigationAction& action) {
    if (decide(action) != WKNavigationActionPolicy::allow || !action.url) return;
    const URL url = *action.url;
    WKNavigationResponse response{url, mimeTypeForExtension(url.pathExtension())};
    if (url.isFileURL()) {
        if (!std::ifstream(url.path()).good()) {
            say("WKWebView: Could not load '" + url.absoluteString() + "': there is no such file.");
            return;
        }
        if (startsWithPDFSignature(url.path())) response.mimeType = "application/pdf";
    }
    if (decide(response) != WKNavigationResponsePolicy::allow) return;

    if (url.isFileURL() && response.mimeType == "application/pdf") {
        std::string error;
        auto pages = vyk::web::PDFPages::open(url.path(), &error);
        if (!pages) {
            say("WKWebView: Could not show '" + url.absoluteString() + "': " + error + ".");
            return;
        }
        return show(url, std::move(pages), "");
    }
    std::string error;
    const bool opened = Foundation::openInBrowser(url, &error);
    const std::string line =
        opened ? "WKWebView: '" + url.absoluteString() + "' is not shown here; it was handed to the system browser."
               : "WKWebView: '" + url.absoluteString() +
                     "' is not shown here, and the system browser could not be started (" + error + ").";
    say(line);
    show(url, nullptr, line.substr(std::string("WKWebView: ").size()));
}

void WKWebView::show(const URL& url, std::unique_ptr<vyk::web::PDFPages> pages, std::string message) {
    url_ = url;
    pages_ = std::move(pages);
    message_ = std::move(message);
    offset_ = 0;
    setNeedsDisplay();
}

void WKWebView::layoutSubviews() {
    UIView::layoutSubviews();
    setContentOffset(offset_); // a new width gives new page heights
    setNeedsDisplay();
}

void WKWebView::draw(CGRect rect) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const CGRect b = bounds();
    if (pages_) {
        const CGFloat scale = window() ? window()->screenScale() : 1;
        pages_->draw(*context, b.width(), offset_, b.height(), scale);
    } else if (!message_.empty()) {
        NSStringAttributes attributes;
        attributes.font = UIFont::systemFont(14);
        NSString::draw(message_, CGRect{12, 12, b.width() - 24, b.height() - 24}, attributes);
    }
}

void WKWebView::touchesBegan(const UITouchSet& touches, const UIEvent*) {
    if (!touches.empty()) dragY_ = (*touches.begin())->location(this).y;
}

void WKWebView::touchesMoved(const UITouchSet& touches, const UIEvent*) {
    if (touches.empty()) return;
    const CGFloat y = (*touches.begin())->location(this).y;
    setContentOffset(offset_ - (y - dragY_));
    dragY_ = y;
}
