#pragma once
// A modal alert: a panel with a title, a message, single-line text fields and
// buttons, over the dimmed window. A button, Enter (the first default-style
// action) or Escape (the cancel-style action) dismisses the alert and then runs
// the action's handler, which can read the text fields. The first text field
// has keyboard focus when the alert appears; Tab moves it to the next field.
// Handlers are dropped when the alert is dismissed, so a handler may hold the
// alert without a leak.
// Thread rules: main thread.
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIAlertAction {
public:
    enum class Style { defaultStyle, cancel, destructive };
    using Handler = std::function<void(UIAlertAction&)>;
    static std::shared_ptr<UIAlertAction> make(std::string title, Style style, Handler handler = {});
    const std::string& title() const { return title_; }
    Style style() const { return style_; }

private:
    friend class UIAlertController;
    UIAlertAction(std::string title, Style style, Handler handler)
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}
    std::string title_;
    Style style_;
    Handler handler_;
};

class UIAlertController : public UIViewController {
public:
    enum class Style { alert };
    static std::shared_ptr<UIAlertController> make(std::optional<std::string> title, std::optional<std::string> message,
                                                   Style style = Style::alert);

    const std::optional<std::string>& title() const { return title_; }
    const std::optional<std::string>& message() const { return message_; }
    // Before presentation.
    void addAction(const std::shared_ptr<UIAlertAction>& action);
    void addTextField(const std::function<void(UITextField&)>& configure = {});
    const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return actions_; }
    const std::vector<std::shared_ptr<UITextField>>& textFields() const { return fields_; }
    // The button of an action (tests press it).
    UIButton* buttonFor(const UIAlertAction& action) const;

    // Dismisses the alert, then runs the action's handler.
    void trigger(const std::shared_ptr<UIAlertAction>& action);

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    bool keyDown(const UIKeyPress& key) override;

private:
    UIAlertController(std::optional<std::string> title, std::optional<std::string> message);

    std::optional<std::string> title_;
    std::optional<std::string> message_;
    std::vector<std::shared_ptr<UIAlertAction>> actions_;
    std::vector<std::shared_ptr<UITextField>> fields_;
    std::vector<std::shared_ptr<UIButton>> buttons_;
    std::shared_ptr<UIView> panel_;
    bool done_ = false;
};
