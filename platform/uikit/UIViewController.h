#pragma once
// Manages one view tree: loads it lazily, reports its life (load, appear,
// disappear, layout), holds child controllers, presents other controllers
// modally and performs segues by identifier.
//
// The view is made on first access: loadView() (a plain view, or the one a
// scene builder builds), then viewDidLoad(). Presentation adds the presented
// controller's view over the whole window: "full screen" hides what is below
// (the presenter gets its disappear and, on dismissal, appear callbacks),
// "over full screen" (dialogs) leaves it visible. Animation is not offered:
// the `animated` flags are accepted and ignored.
//
// Thread rules: main thread.
#include "uikit/UIKeyboard.h"
#include "uikit/UIView.h"

#include <any>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

class UIStoryboardSegue;
class UIWindow;

enum class UIModalPresentationStyle { fullScreen, overFullScreen };

class UIViewController : public UIResponder, public std::enable_shared_from_this<UIViewController> {
public:
    UIViewController();
    ~UIViewController() override;
    UIViewController(const UIViewController&) = delete;
    UIViewController& operator=(const UIViewController&) = delete;

    // The view, loaded on first access. An exception of the view builder
    // (a scene with a missing outlet) passes through, and the view stays unloaded.
    const std::shared_ptr<UIView>& view();
    bool isViewLoaded() const { return view_ != nullptr; }
    // Scene builders: builds the loaded root view's subviews and connects outlets.
    void setViewBuilder(std::function<void(UIView& root)> builder) { builder_ = std::move(builder); }

    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) {}
    virtual void viewDidAppear(bool animated) {}
    virtual void viewWillDisappear(bool animated) {}
    virtual void viewDidDisappear(bool animated) {}
    virtual void viewDidLayoutSubviews() {}
    // Keys not taken by the focused text field reach the topmost presented controller.
    virtual bool keyDown(const UIKeyPress&) { return false; }
    // Our platform has no responder-chain actions: false.
    virtual bool canPerformAction(const std::string& action, const std::any& sender) const;

    // Makes this controller the window's root: its view fills the window.
    void showIn(UIWindow& window);

    // Children: the parent holds them; their views are the caller's to place.
    void addChild(const std::shared_ptr<UIViewController>& child);
    void removeFromParent();
    virtual void willMove(UIViewController* parent) {}
    virtual void didMove(UIViewController* parent) {}
    UIViewController* parent() const { return parent_; }
    const std::vector<std::shared_ptr<UIViewController>>& children() const { return children_; }

    // Presentation. A controller presents one at a time; a second present
    // while one is shown is refused with a line. The presenter must be in a window.
    UIModalPresentationStyle modalPresentationStyle = UIModalPresentationStyle::fullScreen;
    void present(const std::shared_ptr<UIViewController>& controller, bool animated,
                 std::function<void()> completion = {});
    // Dismisses what this controller presented, or this controller if it was
    // presented itself (and whatever it presented in turn).
    void dismiss(bool animated, std::function<void()> completion = {});
    UIViewController* presentedViewController() const { return presented_.get(); }
    UIViewController* presentingViewController() const { return presenting_; }
    // The topmost presented controller of any window, or null.
    static UIViewController* topPresented();

    // Segues: registered by the scene builder, each to a destination scene.
    void addSegue(std::string identifier, std::string destinationScene);
    // Builds the destination, calls prepare(), then presents it. An unknown
    // identifier or destination scene is reported with a line and nothing happens.
    void performSegue(const std::string& identifier, const std::any& sender);
    virtual void prepare(UIStoryboardSegue& segue, const std::any& sender) {}

private:
    void dismissPresented(bool animated);
    void attachOver(UIWindow& window);

    std::shared_ptr<UIView> view_;
    std::function<void(UIView&)> builder_;
    UIViewController* parent_ = nullptr;
    std::vector<std::shared_ptr<UIViewController>> children_;
    std::shared_ptr<UIViewController> presented_;
    UIViewController* presenting_ = nullptr;
    std::map<std::string, std::string> segues_;
};

// A transition from one scene to another, as prepare() sees it.
class UIStoryboardSegue {
public:
    UIStoryboardSegue(std::optional<std::string> identifier, UIViewController& source,
                      std::shared_ptr<UIViewController> destination)
        : identifier_(std::move(identifier)), source_(source), destination_(std::move(destination)) {}
    const std::optional<std::string>& identifier() const { return identifier_; }
    UIViewController& source() const { return source_; }
    const std::shared_ptr<UIViewController>& destination() const { return destination_; }

private:
    std::optional<std::string> identifier_;
    UIViewController& source_;
    std::shared_ptr<UIViewController> destination_;
};
