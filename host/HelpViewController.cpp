#include "host/HelpViewController.h"

#include "host/HostEnvironment.h"

#include <cctype>

using host::println;

namespace {
URLRequest request(const URL& url) { return URLRequest{url, 60, NSURLRequestCachePolicy::useProtocolCachePolicy}; }
} // namespace

void HelpViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    auto self = std::dynamic_pointer_cast<HelpViewController>(shared_from_this());
    if (auto web = webViewOutlet.lock()) {
        web->uiDelegate = self;
        web->navigationDelegate = self;
    }
}

void HelpViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (identifier_ == "ShowHelp")
        loadHelpPdf();
    else if (identifier_ == "ShowInfo")
        navigateWeb();
}

void HelpViewController::onButtonExit() {
    dismiss(true, [] {});
}

void HelpViewController::loadHelpPdf() {
    auto web = webViewOutlet.lock();
    if (!web) return println("HelpViewController: ERROR: The web view is not connected.");
    const auto url = host::resourceURL("manual", "pdf");
    if (!url) return println("HelpViewController: ERROR: The manual 'manual.pdf' was not found.");
    web->load(request(*url));
}

void HelpViewController::navigateWeb() {
    auto web = webViewOutlet.lock();
    if (!web) return println("HelpViewController: ERROR: The web view is not connected.");
    web->load(request(host::makerURL()));
}

void HelpViewController::webView(WKWebView&, const WKNavigationAction& navigationAction,
                                 std::function<void(WKNavigationActionPolicy)> decisionHandler) {
    println("navigationAction: ");
    // An action without an address has nothing to show: cancelled.
    if (!navigationAction.url) return decisionHandler(WKNavigationActionPolicy::cancel);
    println(navigationAction.url->absoluteString());
    decisionHandler(WKNavigationActionPolicy::allow);
}

void HelpViewController::webView(WKWebView&, const WKNavigationResponse& navigationResponse,
                                 std::function<void(WKNavigationResponsePolicy)> decisionHandler) {
    println("navigationResponse: ");
    if (!navigationResponse.url) return decisionHandler(WKNavigationResponsePolicy::cancel);
    println(navigationResponse.url->absoluteString());
    std::string extension = navigationResponse.url->pathExtension();
    for (char& c : extension) c = char(std::toupper(static_cast<unsigned char>(c)));
    for (const char* shown : {"", "PDF", "HTML"})
        if (extension == shown) return decisionHandler(WKNavigationResponsePolicy::allow);
    decisionHandler(WKNavigationResponsePolicy::cancel);
}

std::shared_ptr<WKWebView> HelpViewController::webView(WKWebView&, const WKWebViewConfiguration&,
                                                       const WKNavigationAction& navigationAction,
                                                       const WKWindowFeatures&) {
    println("createWebViewWith:");
    if (navigationAction.url) println(navigationAction.url->absoluteString());
    return nullptr;
}
