#pragma once
// A web view that shows PDF documents: the pages one under the other, each
// fitted to the view's width, scrolled by dragging or with the wheel, drawn
// again at the new width when the view is resized.
//
// load() and followed links go through the delegates' decisions (see
// WKNavigationDelegate.h). A file: address answers when the file exists (its
// type read from its first bytes); other addresses are not fetched: their
// response carries the type their extension suggests. An allowed PDF file is
// shown; anything else that is allowed (a web page, a remote document) is
// handed to the system browser, and the view says so in one line, on the
// console and in the view. A load that fails (a missing file, a broken PDF)
// says why in one line; the page shown before stays.
//
// Thread rules: main thread.
#include "foundation/URLSession.h"
#include "uikit/UIView.h"
#include "webkit/WKNavigationDelegate.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vyk::web {
class PDFPages;
}

class WKWebView : public UIView {
public:
    explicit WKWebView(CGRect frame = {});
    ~WKWebView() override;

    std::weak_ptr<WKUIDelegate> uiDelegate;
    std::weak_ptr<WKNavigationDelegate> navigationDelegate;

    void load(const URLRequest& request);
    // HTML is not rendered here: it goes the way of any web page, under the
    // base address (or about:blank).
    void loadHTMLString(const std::string& html, const std::optional<URL>& baseURL);
    // The address of the page shown (or handed on), none before the first.
    const std::optional<URL>& url() const { return url_; }

    // A link the user follows on the page shown.
    void activateLink(const URL& url, bool targetsNewWindow);

    int pageCount() const;
    // The scroll position: how far the pages' top lies above the view's top.
    CGFloat contentOffset() const { return offset_; }
    void setContentOffset(CGFloat y); // clamped to the pages
    CGFloat contentHeight() const;
    // The line shown instead of a page, empty while a page is shown.
    const std::string& message() const { return message_; }

    void draw(CGRect rect) override;
    void layoutSubviews() override;
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;

private:
    void navigate(const WKNavigationAction& action);
    WKNavigationActionPolicy decide(const WKNavigationAction& action);
    WKNavigationResponsePolicy decide(const WKNavigationResponse& response);
    void show(const URL& url, std::unique_ptr<vyk::web::PDFPages> pages, std::string message);

    std::optional<URL> url_;
    std::unique_ptr<vyk::web::PDFPages> pages_;
    std::string message_;
    CGFloat offset_ = 0;
    CGFloat dragY_ = 0;
};
