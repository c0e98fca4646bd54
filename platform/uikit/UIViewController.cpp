#include "uikit/UIViewController.h"

#include "foundation/Console.h"
#include "uikit/UIStoryboard.h"
#include "uikit/UIWindow.h"

#include <algorithm>

namespace {
// The root view tells its controller about layout passes.
class RootView : public UIView {
public:
    explicit RootView(UIViewController* owner) : owner_(owner) {}
    void layoutSubviews() override {
        UIView::layoutSubviews();
        if (owner_) owner_->viewDidLayoutSubviews();
    }
    void detach() { owner_ = nullptr; }

private:
    UIViewController* owner_;
};

// Presented controllers of every window, bottom first.
std::vector<UIViewController*>& modalStack() {
    static std::vector<UIViewController*> stack;
    return stack;
}

void pinToWindow(UIView& view, UIWindow& window) {
    view.setFrame(window.bounds());
    window.addSubview(view.shared_from_this());
    view.translatesAutoresizingMaskIntoConstraints = false;
    NSLayoutConstraint::activate({view.topAnchor().constraint(window.topAnchor()),
                                  view.leadingAnchor().constraint(window.leadingAnchor()),
                                  view.bottomAnchor().constraint(window.bottomAnchor()),
                                  view.trailingAnchor().constraint(window.trailingAnchor())});
}

void say(const std::string& line) { Console::write(line + "\n"); }
} // namespace

UIViewController::UIViewController() = default;

UIViewController::~UIViewController() {
    std::erase(modalStack(), this);
    if (auto* root = dynamic_cast<RootView*>(view_.get())) root->detach();
    for (const auto& child : children_) child->parent_ = nullptr;
    if (presented_) presented_->presenting_ = nullptr;
}

const std::shared_ptr<UIView>& UIViewController::view() {
    if (!view_) {
        loadView();
        if (builder_) {
            try {
                builder_(*view_);
            } catch (...) {
                view_.reset();
                throw;
            }
        }
        viewDidLoad();
    }
    return view_;
}

void UIViewController::loadView() { view_ = std::make_shared<RootView>(this); }

bool UIViewController::canPerformAction(const std::string&, const std::any&) const { return false; }

void UIViewController::showIn(UIWindow& window) {
    const auto root = view();
    viewWillAppear(false);
    pinToWindow(*root, window);
    window.layoutIfNeeded();
    viewDidAppear(false);
}

void UIViewController::addChild(const std::shared_ptr<UIViewController>& child) {
    if (!child || child.get() == this || child->parent_ == this) return;
    child->removeFromParent();
    child->willMove(this);
    children_.push_back(child);
    child->parent_ = this;
}

void UIViewController::removeFromParent() {
    UIViewController* parent = parent_;
    if (!parent) return;
    const auto self = shared_from_this();
    willMove(nullptr);
    parent_ = nullptr;
    std::erase(parent->children_, self);
    didMove(nullptr);
}

UIViewController* UIViewController::topPresented() { return modalStack().empty() ? nullptr : modalStack().back(); }

void UIViewController::present(const std::shared_ptr<UIViewController>& controller, bool animated,
                               std::function<void()> completion) {
    if (!controller || controller.get() == this) return;
    if (presented_) {
        say("UIViewController: already presenting a view controller; the new one is not shown.");
        return;
    }
    if (controller->presenting_) {
        say("UIViewController: that view controller is already presented.");
        return;
    }
    UIWindow* window = view()->window();
    if (!window) {
        say("UIViewController: cannot present from a view controller that is in no window.");
        return;
    }
    const auto shown = controller->view(); // a broken scene throws before anything changed
    const bool covers = controller->modalPresentationStyle == UIModalPresentationStyle::fullScreen;
    presented_ = controller;
    controller->presenting_ = this;
    modalStack().push_back(controller.get());
    if (covers) viewWillDisappear(animated);
    controller->viewWillAppear(animated);
    pinToWindow(*shown, *window);
    window->layoutIfNeeded();
    controller->viewDidAppear(animated);
    if (covers) viewDidDisappear(animated);
    if (completion) completion();
}

void UIViewController::dismiss(bool animated, std::function<void()> completion) {
    if (presented_)
        dismissPresented(animated);
    else if (presenting_)
        presenting_->dismissPresented(animated);
    if (completion) completion();
}

void UIViewController::dismissPresented(bool animated) {
    const auto gone = presented_;
    if (!gone) return;
    const auto self = shared_from_this();
    gone->dismissPresented(animated);
    const bool covered = gone->modalPresentationStyle == UIModalPresentationStyle::fullScreen;
    gone->viewWillDisappear(animated);
    if (covered) viewWillAppear(animated);
    if (gone->view_) gone->view_->removeFromSuperview();
    std::erase(modalStack(), gone.get());
    presented_.reset();
    gone->presenting_ = nullptr;
    gone->viewDidDisappear(animated);
    if (covered) viewDidAppear(animated);
}

void UIViewController::addSegue(std::string identifier, std::string destinationScene) {
    segues_[std::move(identifier)] = std::move(destinationScene);
}

void UIViewController::performSegue(const std::string& identifier, const std::any& sender) {
    const auto it = segues_.find(identifier);
    if (it == segues_.end()) {
        say("UIViewController: no segue with the identifier \"" + identifier + "\".");
        return;
    }
    std::shared_ptr<UIViewController> destination;
    try {
        destination = UIStoryboard::instantiate(it->second);
    } catch (const UISceneError& e) {
        say(std::string("UIViewController: segue \"") + identifier + "\": " + e.what());
        return;
    }
    UIStoryboardSegue segue(identifier, *this, destination);
    prepare(segue, sender);
    present(destination, true);
}
