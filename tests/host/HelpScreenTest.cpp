// The help screen's decisions and the web view under it: which responses show, new
// windows, a missing manual, unanswered decisions, the manual's pages fitted to the
// width, scrolled and redrawn on resize.
#include "HostRig.h"

#include "host/HelpViewController.h"

#include <gtest/gtest.h>

using namespace host::test;

namespace {

struct HelpRig : HostRig {
    HelpRig() : HostRig(nullptr, false) {
        help = std::dynamic_pointer_cast<HelpViewController>(UIStoryboard::instantiate("Help"));
        help->view();
        web = help->webViewOutlet.lock();
    }
    std::shared_ptr<HelpViewController> help;
    std::shared_ptr<WKWebView> web;
};

// Answers nothing, or twice.
struct OddDelegate : WKNavigationDelegate {
    int answers = 0;
    void webView(WKWebView&, const WKNavigationAction&, std::function<void(WKNavigationActionPolicy)> h) override {
        for (int i = 0; i < answers; ++i) h(WKNavigationActionPolicy::allow);
    }
};

std::uint32_t pixel(const UIWindow& window, int x, int y) {
    const auto& s = window.surface();
    return *reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s.cairoSurface()) +
                                                   cairo_image_surface_get_stride(s.cairoSurface()) * y + 4 * x);
}

} // namespace

TEST(HelpScreen, ShowsOnlyResponsesWithoutExtensionOrPdfOrHtml) {
    HelpRig rig;
    const std::vector<std::pair<std::string, bool>> cases = {
        {"https://a.example/m.pdf", true},   {"https://a.example/m.PDF", true},
        {"https://a.example/m.Pdf", true},   {"https://a.example/p.HTML", true},
        {"https://b.example", true},         {"https://b.example/", true},
        {"https://b.example/folder/", true}, {"https://b.example/page.html?x=1.zip", true},
        {"https://a.example/p.htm", false},  {"https://a.example/a.tar.gz", false}};
    for (const auto& [address, shown] : cases) {
        rig.opened.clear();
        rig.console.clear();
        rig.web->activateLink(*URL::parse(address), false);
        EXPECT_EQ(rig.opened.size(), shown ? 1u : 0u) << address;
        const auto l = rig.console.lines();
        EXPECT_EQ(l.size() < 4 ? "" : l[0] + l[1] + l[2] + l[3],
                  "navigationAction: " + address + "navigationResponse: " + address);
    }
    rig.console.clear();
    rig.web->activateLink(*URL::parse("https://c.example/new"), true);
    EXPECT_EQ(rig.console.lines(), (std::vector<std::string>{"createWebViewWith:", "https://c.example/new"}));
}

TEST(HelpScreen, OtherWordsLoadNothingAMissingManualIsSaidAndDecisionsAnswerOnce) {
    HelpRig rig;
    rig.help->prepareInfo("showhelp");
    rig.help->viewWillAppear(false);
    EXPECT_TRUE(rig.console.lines().empty());
    host::environment().resourceFolder = URL::fileURL(rig.folder.file("nothing-here"));
    rig.help->prepareInfo("ShowHelp");
    rig.help->viewWillAppear(false);
    EXPECT_EQ(rig.console.lines(),
              std::vector<std::string>{"HelpViewController: ERROR: The manual 'manual.pdf' was not found."});
    EXPECT_FALSE(rig.web->url());

    auto odd = std::make_shared<OddDelegate>();
    rig.web->navigationDelegate = odd;
    for (int answers : {0, 2}) {
        odd->answers = answers;
        rig.console.clear();
        rig.web->activateLink(*URL::parse("https://a.example/"), false);
        EXPECT_EQ(rig.opened.size(), answers == 0 ? 0u : 1u);
        EXPECT_EQ(rig.console.lines().front(),
                  answers == 0 ? "WKWebView: A navigation decision was not answered; it counts as cancel."
                               : "WKWebView: A navigation decision was answered twice; the later answer is ignored.");
    }
}

TEST(HelpScreen, TheManualFillsTheWidthScrollsAndFollowsAResize) {
    HelpRig rig;
    auto shared = std::make_shared<UIWindow>(CGSize{400, 348});
    UIWindow& window = *shared;
    rig.help->showIn(window); // appears: loads the manual
    ASSERT_EQ(rig.web->pageCount(), 2);
    window.displayIfNeeded();
    // 400 x 300 pages at 400 points: the first page's dark upper half at the top.
    EXPECT_EQ(rig.web->contentHeight(), 2 * 300 + 8);
    EXPECT_EQ(pixel(window, 200, 48 + 20) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(pixel(window, 200, 48 + 200) & 0xFFFFFF, 0xFFFFFFu);
    rig.web->setContentOffset(308); // the second page's grey half at the top
    window.displayIfNeeded();
    EXPECT_NEAR(double(pixel(window, 200, 48 + 20) & 0xFF), 0.5 * 255, 2);
    rig.web->setContentOffset(1e9);
    EXPECT_EQ(rig.web->contentOffset(), 608 - 300);
    window.resize(CGSize{800, 348}, 1);
    window.displayIfNeeded();
    EXPECT_EQ(rig.web->contentHeight(), 2 * 600 + 8);
    window.writePNG(std::string(std::getenv("VYK_ARTIFACTS_DIR") ? std::getenv("VYK_ARTIFACTS_DIR") : ".") +
                    "/help-screen.png");
}
