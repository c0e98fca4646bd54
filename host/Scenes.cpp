#include "host/Scenes.h"

#include "host/HelpViewController.h"
#include "host/ViewController.h"
#include "shared/ViewPinning.h"
#include "uikit/UIStoryboard.h"

#include <functional>

namespace host {
namespace {

// A scene's content: a bar of buttons along the top and one view filling the rest.
class BarLayoutView final : public UIView {
public:
    struct Slot {
        std::vector<std::shared_ptr<UIView>> views; // one place, several buttons
        bool right = false;
    };
    std::vector<Slot> slots;
    std::shared_ptr<UIView> content;

    void layoutSubviews() override {
        UIView::layoutSubviews();
        const CGRect b = bounds();
        constexpr CGFloat w = 80, h = 32, pad = 8;
        CGFloat left = pad, right = b.width() - pad - w;
        for (const Slot& slot : slots) {
            const CGFloat x = slot.right ? right : left;
            for (const auto& v : slot.views) v->setFrame(CGRect{x, (kBarHeight - h) / 2, w, h});
            (slot.right ? right -= w + pad : left += w + pad);
        }
        if (content) content->setFrame(CGRect{0, kBarHeight, b.width(), std::max<CGFloat>(0, b.height() - kBarHeight)});
    }
};

std::shared_ptr<UIButton> button(const std::string& title, const std::string& identifier) {
    auto b = std::make_shared<UIButton>();
    b->setTitle(title);
    b->accessibilityIdentifier = identifier;
    b->setBackgroundColor(UIColor(0.93, 0.93, 0.93, 1));
    return b;
}

std::shared_ptr<BarLayoutView> layoutIn(UIView& root) {
    root.setBackgroundColor(UIColor(0.2, 0.2, 0.2, 1));
    auto layout = std::make_shared<BarLayoutView>();
    root.addSubview(layout);
    pinToSuperviewEdges(*layout);
    return layout;
}

template <class Controller>
UIControl::Action act(const std::shared_ptr<Controller>& controller, void (Controller::*action)()) {
    return [weak = std::weak_ptr<Controller>(controller), action](UIControl&) {
        if (auto c = weak.lock()) ((*c).*action)();
    };
}

std::shared_ptr<UIViewController> mainScene() {
    auto controller = std::make_shared<ViewController>();
    controller->addSegue("ShowHelp", "Help");
    controller->addSegue("ShowInfo", "Help");
    controller->setViewBuilder([weak = std::weak_ptr<ViewController>(controller)](UIView& root) {
        auto c = weak.lock();
        auto layout = layoutIn(root);
        c->pluginView = std::make_shared<UIView>();
        c->buttonUnit = button("Unit", "unit");
        c->playButton = button("Play", "play");
        c->stopButton = button("Stop", "stop");
        c->buttonHelp = button("Help", "help");
        c->buttonInfo = button("Info", "info");
        for (const auto& v : std::vector<std::shared_ptr<UIView>>{c->pluginView, c->buttonUnit, c->playButton,
                                                                  c->stopButton, c->buttonHelp, c->buttonInfo})
            layout->addSubview(v);
        layout->content = c->pluginView;
        layout->slots = {
            {{c->buttonUnit}}, {{c->playButton, c->stopButton}}, {{c->buttonInfo}, true}, {{c->buttonHelp}, true}};
        c->buttonUnit->addTarget(act(c, &ViewController::onButtonUnit), UIControlEvents::touchUpInside);
        c->playButton->addTarget(act(c, &ViewController::onPlayButton), UIControlEvents::touchUpInside);
        c->stopButton->addTarget(act(c, &ViewController::onStopButton), UIControlEvents::touchUpInside);
        c->buttonHelp->addTarget(act(c, &ViewController::showHelp), UIControlEvents::touchUpInside);
        // The info button starts its segue itself; the controller has no action for it.
        c->buttonInfo->addTarget(
            [weak = std::weak_ptr<ViewController>(c)](UIControl& sender) {
                if (auto vc = weak.lock()) vc->performSegue("ShowInfo", sender.shared_from_this());
            },
            UIControlEvents::touchUpInside);
        UIOutletCheck("Main")
            .require("pluginView", c->pluginView)
            .require("playButton", c->playButton)
            .require("stopButton", c->stopButton)
            .check();
    });
    return controller;
}

std::shared_ptr<UIViewController> helpScene() {
    auto controller = std::make_shared<HelpViewController>();
    controller->setViewBuilder([weak = std::weak_ptr<HelpViewController>(controller)](UIView& root) {
        auto c = weak.lock();
        auto layout = layoutIn(root);
        auto web = std::make_shared<WKWebView>();
        c->buttonExit = button("Done", "exit");
        layout->addSubview(web);
        layout->addSubview(c->buttonExit);
        layout->content = web;
        layout->slots = {{{c->buttonExit}}};
        c->webViewOutlet = web;
        c->buttonExit->addTarget(act(c, &HelpViewController::onButtonExit), UIControlEvents::touchUpInside);
        UIOutletCheck("Help").require("webView", web).check();
    });
    return controller;
}

} // namespace

void registerScenes() {
    UIStoryboard::registerScene("Main", mainScene);
    UIStoryboard::registerScene("Help", helpScene);
}

} // namespace host
