#include "AppRig.h"
#include "uikit/UIButton.h"
#include "uikit/UIStoryboard.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Logs its life; `name` tells the instances apart.
class Logged : public UIViewController {
public:
    Logged(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    void viewDidLoad() override { note("viewDidLoad"); }
    void viewWillAppear(bool) override { note("viewWillAppear"); }
    void viewDidAppear(bool) override { note("viewDidAppear"); }
    void viewWillDisappear(bool) override { note("viewWillDisappear"); }
    void viewDidDisappear(bool) override { note("viewDidDisappear"); }
    void prepare(UIStoryboardSegue& segue, const std::any& sender) override {
        note("prepare " + segue.identifier().value_or("-") + " from " +
             (std::any_cast<std::string>(&sender) ? std::any_cast<std::string>(sender) : "?"));
        if (auto* d = dynamic_cast<Logged*>(segue.destination().get())) d->received = *segue.identifier();
    }
    std::shared_ptr<UIButton> button; // a required outlet of the test scenes
    std::string received;

private:
    void note(const std::string& what) { log_.push_back(name_ + " " + what); }
    std::string name_;
    Log& log_;
};

TEST(ViewController, LoadsLazilyAndReportsItsLifeInOrder) {
    Log log;
    UIWindow window({400, 300});
    auto root = std::make_shared<Logged>("root", log);
    EXPECT_FALSE(root->isViewLoaded());
    EXPECT_TRUE(log.empty());
    const auto& view = root->view();
    EXPECT_TRUE(root->isViewLoaded());
    EXPECT_EQ(view, root->view()); // loaded once
    root->showIn(window);
    window.layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), window.bounds());

    auto modal = std::make_shared<Logged>("modal", log);
    bool completed = false;
    root->present(modal, true, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(root->presentedViewController(), modal.get());
    EXPECT_EQ(modal->presentingViewController(), root.get());
    EXPECT_EQ(UIViewController::topPresented(), modal.get());
    EXPECT_EQ(modal->view()->window(), &window);
    // A second presentation while one is shown is refused with a line.
    vyk::test::ConsoleLines console;
    root->present(std::make_shared<Logged>("third", log), false);
    EXPECT_EQ(console.lines().size(), 1u);
    modal->dismiss(true);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->view()->superview(), nullptr);
    EXPECT_EQ(UIViewController::topPresented(), nullptr);

    const Log expected{"root viewDidLoad",    "root viewWillAppear",    "root viewDidAppear",
                       "modal viewDidLoad",   "root viewWillDisappear", "modal viewWillAppear",
                       "modal viewDidAppear", "root viewDidDisappear",  "modal viewWillDisappear",
                       "root viewWillAppear", "modal viewDidDisappear", "root viewDidAppear"};
    EXPECT_EQ(log, expected);
}

TEST(ViewController, PresentsDialogsOverTheWindowAndRefusesWithoutOne) {
    Log log;
    auto lonely = std::make_shared<Logged>("lonely", log);
    auto dialog = std::make_shared<Logged>("dialog", log);
    dialog->modalPresentationStyle = UIModalPresentationStyle::overFullScreen;
    vyk::test::ConsoleLines console;
    lonely->present(dialog, false);
    EXPECT_EQ(lonely->presentedViewController(), nullptr);
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_NE(console.lines()[0].find("in no window"), std::string::npos);

    UIWindow window({200, 100});
    lonely->showIn(window);
    log.clear();
    lonely->present(dialog, false);
    dialog->dismiss(false);
    // Over full screen: the presenter stays visible and hears nothing.
    const Log expected{"dialog viewDidLoad", "dialog viewWillAppear", "dialog viewDidAppear",
                       "dialog viewWillDisappear", "dialog viewDidDisappear"};
    EXPECT_EQ(log, expected);
}

// Two scenes: "Main" with a segue "ShowHelp" to "Help"; "Broken" forgets its outlet.
void registerScenes(Log& log) {
    UIStoryboard::registerScene("Main", [&log] {
        auto vc = std::make_shared<Logged>("main", log);
        vc->addSegue("ShowHelp", "Help");
        vc->addSegue("ShowNowhere", "Nowhere");
        std::weak_ptr<Logged> weak = vc;
        vc->setViewBuilder([weak](UIView& root) {
            auto self = weak.lock();
            self->button = std::make_shared<UIButton>(CGRect{10, 10, 80, 30});
            self->button->accessibilityIdentifier = "help";
            self->button->addTarget(
                [weak](UIControl&) {
                    if (auto s = weak.lock()) s->performSegue("ShowHelp", std::string("button"));
                },
                UIControlEvents::touchUpInside);
            root.addSubview(self->button);
            UIOutletCheck("Main").require("button", self->button).check();
        });
        return vc;
    });
    UIStoryboard::registerScene("Help", [&log] { return std::make_shared<Logged>("help", log); });
    UIStoryboard::registerScene("Broken", [&log] {
        auto vc = std::make_shared<Logged>("broken", log);
        std::weak_ptr<Logged> weak = vc;
        vc->setViewBuilder([weak](UIView&) {
            auto self = weak.lock();
            UIOutletCheck("Broken").require("button", self->button).require("other", self->button).check();
        });
        return vc;
    });
}

TEST(Scenes, SegueBuildsTheDestinationPreparesAndPresentsIt) {
    Log log;
    registerScenes(log);
    UIWindow window({400, 300});
    auto main = std::dynamic_pointer_cast<Logged>(UIStoryboard::instantiate("Main"));
    ASSERT_TRUE(main);
    main->showIn(window);
    vyk::test::click(window, *main->button);
    auto* help = dynamic_cast<Logged*>(main->presentedViewController());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->received, "ShowHelp");
    EXPECT_EQ(log[3], "main prepare ShowHelp from button");
    EXPECT_EQ(log[4], "help viewDidLoad"); // prepared before its view loads
    help->dismiss(false);

    vyk::test::ConsoleLines console;
    main->performSegue("ShowNothing", {});
    main->performSegue("ShowNowhere", {});
    EXPECT_EQ(main->presentedViewController(), nullptr);
    const auto lines = console.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "UIViewController: no segue with the identifier \"ShowNothing\".");
    EXPECT_NE(lines[1].find("no scene named \"Nowhere\""), std::string::npos);
}

TEST(Scenes, MissingOutletFailsLoudlyAndNamesIt) {
    Log log;
    registerScenes(log);
    EXPECT_THROW(UIStoryboard::instantiate("Nothing"), UISceneError);
    auto broken = UIStoryboard::instantiate("Broken");
    try {
        broken->view();
        FAIL() << "the broken scene loaded";
    } catch (const UISceneError& e) {
        EXPECT_STREQ(e.what(), "scene \"Broken\": required outlets button, other are not connected");
    }
    EXPECT_FALSE(broken->isViewLoaded());
    EXPECT_TRUE(std::find(log.begin(), log.end(), "broken viewDidLoad") == log.end());
}

} // namespace
