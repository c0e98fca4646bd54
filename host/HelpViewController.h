#pragma once
// The help screen: shows the bundle's manual ("ShowHelp") or the maker's web
// page ("ShowInfo") in its web view, logs every navigation decision and lets
// through only responses whose address has no extension or "pdf" or "html".
// Thread rules: main thread.
#include "uikit/UIButton.h"
#include "uikit/UIViewController.h"
#include "webkit/WKWebView.h"

#include <memory>
#include <string>

class HelpViewController : public UIViewController, public WKUIDelegate, public WKNavigationDelegate {
public:
    std::weak_ptr<WKWebView> webViewOutlet; // the `webView` outlet (the name is taken by the delegate calls)
    std::shared_ptr<UIButton> buttonExit;

    void prepareInfo(const std::string& which) { identifier_ = which; }
    const std::string& identifier() const { return identifier_; }

    void onButtonExit();
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void webView(WKWebView& webView, const WKNavigationAction& navigationAction,
                 std::function<void(WKNavigationActionPolicy)> decisionHandler) override;
    void webView(WKWebView& webView, const WKNavigationResponse& navigationResponse,
                 std::function<void(WKNavigationResponsePolicy)> decisionHandler) override;
    std::shared_ptr<WKWebView> webView(WKWebView& webView, const WKWebViewConfiguration& configuration,
                                       const WKNavigationAction& navigationAction,
                                       const WKWindowFeatures& windowFeatures) override;

private:
    void loadHelpPdf();
    void navigateWeb();

    std::string identifier_ = "ShowHelp";
};
