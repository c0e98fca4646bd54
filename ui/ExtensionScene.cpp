#include "ui/ExtensionScene.h"

#include "ui/AudioUnitViewController.h"
#include "ui/CorrelographView.h"
#include "ui/PluginFrameEx.h"
#include "ui/VYKOrmeltaView.h"
#include "uikit/UIButton.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UILabel.h"
#include "uikit/UISlider.h"
#include "uikit/UIStoryboard.h"

#include <algorithm>

namespace {

constexpr CGFloat kPanelWidth = 680;
constexpr CGFloat kPanelHeight = 600;
// Where the correlograph and the overlay sit on the panel canvas.
constexpr CGRect kCorrelograph{212, 252, 256, 256};
constexpr CGRect kOverlay{190, 260, 300, 80};

// The panel container: its drawn layers fill it, the correlograph and the overlay
// keep their places on the panel canvas at any size.
class PanelContainer : public UIView {
public:
    using UIView::UIView;
    std::vector<std::shared_ptr<UIView>> filling;
    std::vector<std::pair<std::shared_ptr<UIView>, CGRect>> placed;

    void layoutSubviews() override {
        UIView::layoutSubviews();
        const CGRect b = bounds();
        for (const auto& v : filling) v->setFrame(b);
        const CGFloat s = std::min(b.size.width / kPanelWidth, b.size.height / kPanelHeight);
        const CGFloat x0 = (b.size.width - kPanelWidth * s) / 2;
        const CGFloat y0 = (b.size.height - kPanelHeight * s) / 2;
        for (const auto& [v, r] : placed) {
            // The overlay scales about its centre: place it by centre and bounds.
            v->setCenter({x0 + r.midX() * s, y0 + r.midY() * s});
            v->setBounds({0, 0, r.size.width * s, r.size.height * s});
        }
    }
};

std::shared_ptr<UIButton> smallButton(CGRect frame, const char* title) {
    auto b = std::make_shared<UIButton>(frame);
    b->setTitle(title);
    b->setBackgroundColor(UIColor::white(0.9, 0.9));
    b->setHidden(true);
    return b;
}

} // namespace

void buildExtensionScene(AudioUnitViewController& c, UIView& root) {
    std::weak_ptr<AudioUnitViewController> weak =
        std::static_pointer_cast<AudioUnitViewController>(c.shared_from_this());
    // Views and recognisers may outlive the controller in a host's window.
    const auto act = [weak](void (AudioUnitViewController::*method)(UIButton&)) {
        return [weak, method](UIControl& sender) {
            if (auto self = weak.lock()) ((*self).*method)(static_cast<UIButton&>(sender));
        };
    };

    auto panel = std::make_shared<PanelContainer>(CGRect{0, 0, kPanelWidth, kPanelHeight});
    c.pluginView = panel;
    c.pluginFrame = std::make_shared<PluginFrameEx>(CGRect{0, 0, kPanelWidth, kPanelHeight});
    c.mainView = std::make_shared<VYKOrmeltaView>(CGRect{0, 0, kPanelWidth, kPanelHeight});
    c.correlographView = std::make_shared<CorrelographView>(kCorrelograph);
    c.correlographView->setUserInteractionEnabled(false); // the pad under it takes the touches
    c.infoView = std::make_shared<UIView>(kOverlay);
    c.infoView->setBackgroundColor(UIColor::white(0.1, 0.85));
    c.infoView->setUserInteractionEnabled(false);
    c.infoView->setHidden(true);
    c.infoMessage = std::make_shared<UILabel>(CGRect{0, 0, kOverlay.size.width, kOverlay.size.height});
    c.infoMessage->setTextColor(UIColor::white());
    c.infoMessage->setTextAlignment(NSTextAlignment::center);
    c.infoMessage->translatesAutoresizingMaskIntoConstraints = false;
    c.infoView->addSubview(c.infoMessage);
    for (auto anchor :
         {NSLayoutAttribute::top, NSLayoutAttribute::leading, NSLayoutAttribute::bottom, NSLayoutAttribute::trailing})
        NSLayoutConstraint::activate(
            {std::make_shared<NSLayoutConstraint>(*c.infoMessage, anchor, *c.infoView, anchor, 0)});
    panel->addSubview(c.pluginFrame);
    panel->addSubview(c.mainView);
    panel->addSubview(c.correlographView);
    panel->addSubview(c.infoView);
    panel->filling = {c.pluginFrame, c.mainView};
    panel->placed = {{c.correlographView, kCorrelograph}, {c.infoView, kOverlay}};
    root.addSubview(panel);

    c.contrastButton = smallButton({8, 8, 80, 28}, "Light");
    c.freezeButton = smallButton({96, 8, 80, 28}, "Freeze");
    c.brightnessSlider = std::make_shared<UISlider>(CGRect{8, 44, 168, 28});
    c.brightnessSlider->setRange(0, 1);
    c.brightnessSlider->setValue(1);
    c.brightnessSlider->setHidden(true);
    c.contrastButton->addTarget(act(&AudioUnitViewController::onContrastButton), UIControlEvents::touchUpInside);
    c.freezeButton->addTarget(act(&AudioUnitViewController::onFreezeButton), UIControlEvents::touchUpInside);
    c.brightnessSlider->addTarget(
        [weak](UIControl& s) {
            if (auto self = weak.lock()) self->onBrightnessSlider(static_cast<UISlider&>(s));
        },
        UIControlEvents::valueChanged);
    root.addSubview(c.contrastButton);
    root.addSubview(c.freezeButton);
    root.addSubview(c.brightnessSlider);

    // The recognisers watch the whole root, so a double tap brings back a panel
    // dragged out of sight.
    c.panGesture = std::make_shared<UIPanGestureRecognizer>();
    c.pinchGesture = std::make_shared<UIPinchGestureRecognizer>();
    c.doubleTapGesture = std::make_shared<UITapGestureRecognizer>();
    c.doubleTapGesture->numberOfTapsRequired = 2;
    c.tapGesture = std::make_shared<UITapGestureRecognizer>();
    c.longPressGesture = std::make_shared<UILongPressGestureRecognizer>();
    const auto bind = [&root, weak](const auto& recognizer, auto method) {
        using R = std::remove_reference_t<decltype(*recognizer)>;
        recognizer->addTarget([weak, method](UIGestureRecognizer& s) {
            if (auto self = weak.lock()) ((*self).*method)(static_cast<R&>(s));
        });
        root.addGestureRecognizer(recognizer);
    };
    bind(c.panGesture, &AudioUnitViewController::onPanGesture);
    bind(c.pinchGesture, &AudioUnitViewController::onPinchGesture);
    bind(c.doubleTapGesture, &AudioUnitViewController::onDoubleTapGesture);
    bind(c.tapGesture, &AudioUnitViewController::onTapGesture);
    bind(c.longPressGesture, &AudioUnitViewController::onlongPressGesture);

    UIOutletCheck("VYK-Wimbrax-Extension")
        .require("pluginFrame", c.pluginFrame)
        .require("pluginView", c.pluginView)
        .require("correlographView", c.correlographView)
        .require("mainView", c.mainView)
        .require("infoView", c.infoView)
        .require("infoMessage", c.infoMessage)
        .require("contrastButton", c.contrastButton)
        .require("brightnessSlider", c.brightnessSlider)
        .require("freezeButton", c.freezeButton)
        .require("panGesture", c.panGesture)
        .require("pinchGesture", c.pinchGesture)
        .require("doubleTapGesture", c.doubleTapGesture)
        .require("tapGesture", c.tapGesture)
        .require("longPressGesture", c.longPressGesture)
        .check();
}
