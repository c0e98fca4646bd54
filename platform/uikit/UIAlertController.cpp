#include "uikit/UIAlertController.h"

#include <limits>

namespace {
constexpr CGFloat panelWidth = 320;
constexpr CGFloat margin = 16;
constexpr CGFloat fieldHeight = 30;
constexpr CGFloat buttonHeight = 40;

// Places a label of `width`, as tall as its wrapped text, at `y`; returns its bottom.
CGFloat placeLabel(UIView& panel, const std::string& text, const UIFont& font, CGFloat y) {
    const CGFloat width = panelWidth - 2 * margin;
    const NSStringAttributes attributes{font, UIColor::black(), {NSTextAlignment::center}};
    const CGFloat h = NSString::boundingRect(text, {width, 0}, usesLineFragmentOrigin, attributes).height();
    auto label = std::make_shared<UILabel>(CGRect{margin, y, width, h});
    label->setText(text);
    label->setFont(font);
    label->setNumberOfLines(0);
    label->setTextAlignment(NSTextAlignment::center);
    panel.addSubview(label);
    return y + h;
}
} // namespace

std::shared_ptr<UIAlertAction> UIAlertAction::make(std::string title, Style style, Handler handler) {
    return std::shared_ptr<UIAlertAction>(new UIAlertAction(std::move(title), style, std::move(handler)));
}

UIAlertController::UIAlertController(std::optional<std::string> title, std::optional<std::string> message)
    : title_(std::move(title)), message_(std::move(message)) {
    modalPresentationStyle = UIModalPresentationStyle::overFullScreen;
}

std::shared_ptr<UIAlertController> UIAlertController::make(std::optional<std::string> title,
                                                           std::optional<std::string> message, Style) {
    return std::shared_ptr<UIAlertController>(new UIAlertController(std::move(title), std::move(message)));
}

void UIAlertController::addAction(const std::shared_ptr<UIAlertAction>& action) {
    if (action && !isViewLoaded()) actions_.push_back(action);
}

void UIAlertController::addTextField(const std::function<void(UITextField&)>& configure) {
    if (isViewLoaded()) return;
    auto field = std::make_shared<UITextField>(CGRect{0, 0, panelWidth - 2 * margin, fieldHeight});
    if (configure) configure(*field);
    fields_.push_back(field);
}

UIButton* UIAlertController::buttonFor(const UIAlertAction& action) const {
    for (std::size_t i = 0; i < actions_.size() && i < buttons_.size(); ++i)
        if (actions_[i].get() == &action) return buttons_[i].get();
    return nullptr;
}

void UIAlertController::loadView() {
    UIViewController::loadView();
    view()->setBackgroundColor(UIColor::black().withAlphaComponent(0.35));
    panel_ = std::make_shared<UIView>();
    panel_->setBackgroundColor(UIColor::white(0.96));
    CGFloat y = margin;
    if (title_ && !title_->empty()) y = placeLabel(*panel_, *title_, UIFont::systemFont(17), y) + 6;
    if (message_ && !message_->empty()) y = placeLabel(*panel_, *message_, UIFont::systemFont(13), y) + 6;
    for (const auto& field : fields_) {
        field->setFrame({margin, y + 6, panelWidth - 2 * margin, fieldHeight});
        panel_->addSubview(field);
        y += fieldHeight + 6;
    }
    y += margin;
    // Two actions side by side, more stacked.
    const bool row = actions_.size() <= 2;
    const CGFloat w = row && !actions_.empty() ? panelWidth / static_cast<CGFloat>(actions_.size()) : panelWidth;
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        const auto& action = actions_[i];
        const CGRect frame = row ? CGRect{w * static_cast<CGFloat>(i), y, w, buttonHeight}
                                 : CGRect{0, y + buttonHeight * static_cast<CGFloat>(i), panelWidth, buttonHeight};
        auto button = std::make_shared<UIButton>(frame);
        button->setTitle(action->title());
        if (action->style() == UIAlertAction::Style::destructive) button->setTitleColor(UIColor(1, 0.23, 0.19, 1));
        button->accessibilityIdentifier = action->title();
        std::weak_ptr<UIAlertController> weak = std::static_pointer_cast<UIAlertController>(shared_from_this());
        std::weak_ptr<UIAlertAction> weakAction = action;
        button->addTarget(
            [weak, weakAction](UIControl&) {
                if (auto self = weak.lock())
                    if (auto a = weakAction.lock()) self->trigger(a);
            },
            UIControlEvents::touchUpInside);
        panel_->addSubview(button);
        buttons_.push_back(button);
    }
    const CGFloat height =
        y + (row ? (actions_.empty() ? 0 : buttonHeight) : buttonHeight * static_cast<CGFloat>(actions_.size()));
    panel_->setFrame({0, 0, panelWidth, height});
    view()->addSubview(panel_);
}

void UIAlertController::viewDidLayoutSubviews() {
    if (panel_) panel_->setCenter({view()->bounds().midX(), view()->bounds().midY()});
}

void UIAlertController::viewDidAppear(bool) {
    if (!fields_.empty()) fields_.front()->becomeFirstResponder();
}

bool UIAlertController::keyDown(const UIKeyPress& key) {
    auto firstOf = [this](UIAlertAction::Style style) -> std::shared_ptr<UIAlertAction> {
        for (const auto& a : actions_)
            if (a->style() == style) return a;
        return nullptr;
    };
    switch (key.key) {
    case UIKey::returnKey:
        if (auto a = firstOf(UIAlertAction::Style::defaultStyle)) {
            trigger(a);
            return true;
        }
        return false;
    case UIKey::escape:
        if (auto a = firstOf(UIAlertAction::Style::cancel)) {
            trigger(a);
            return true;
        }
        return false;
    case UIKey::tab:
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i]->isFirstResponder()) {
                fields_[(i + 1) % fields_.size()]->becomeFirstResponder();
                return true;
            }
        return false;
    default:
        return false;
    }
}

void UIAlertController::trigger(const std::shared_ptr<UIAlertAction>& action) {
    if (done_ || !action) return;
    done_ = true;
    const auto self = shared_from_this();
    for (const auto& f : fields_) f->resignFirstResponder();
    dismiss(true);
    const auto handler = std::move(action->handler_);
    for (const auto& a : actions_) a->handler_ = nullptr;
    if (handler) handler(*action);
}
