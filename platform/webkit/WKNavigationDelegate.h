#pragma once
// What a web view asks its delegates, and the answers they give.
//
// Navigation: every load or followed link first goes to the navigation delegate
// as an action, then (allowed) as a response, and only an allowed response is
// shown. Each decision handler answers once: a second call is ignored with a
// line, and a delegate that returns without answering counts as cancel, also
// with a line. Without a delegate everything is allowed. Links that ask for a
// new window go to the UI delegate, which may return a new view (none opens here).
// Thread rules: main thread.
#include "foundation/URL.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class WKWebView;

enum class WKNavigationActionPolicy { cancel = 0, allow = 1 };
enum class WKNavigationResponsePolicy { cancel = 0, allow = 1 };

struct WKNavigationAction {
    std::optional<URL> url; // the request's address, when it has one
    bool targetsNewWindow = false;
};

struct WKNavigationResponse {
    std::optional<URL> url;
    std::string mimeType; // from the file's content or the address's extension
};

struct WKWebViewConfiguration {};
struct WKWindowFeatures {};

class WKNavigationDelegate {
public:
    virtual ~WKNavigationDelegate() = default;
    virtual void webView(WKWebView& webView, const WKNavigationAction& navigationAction,
                         std::function<void(WKNavigationActionPolicy)> decisionHandler) {
        decisionHandler(WKNavigationActionPolicy::allow);
    }
    virtual void webView(WKWebView& webView, const WKNavigationResponse& navigationResponse,
                         std::function<void(WKNavigationResponsePolicy)> decisionHandler) {
        decisionHandler(WKNavigationResponsePolicy::allow);
    }
};

class WKUIDelegate {
public:
    virtual ~WKUIDelegate() = default;
    // createWebViewWith: a view for a link that asks for a new window, or none.
    virtual std::shared_ptr<WKWebView> webView(WKWebView& webView, const WKWebViewConfiguration& configuration,
                                               const WKNavigationAction& navigationAction,
                                               const WKWindowFeatures& windowFeatures) {
        return nullptr;
    }
};
