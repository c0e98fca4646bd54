#include "ui/AudioUnitViewController.h"

#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/FileManager.h"
#include "foundation/Timer.h"
#include "animation/Animator.h"
#include "ui/CorrelographView.h"
#include "ui/ExtensionScene.h"
#include "ui/ParameterTreeDump.h"
#include "ui/PluginFrameEx.h"
#include "ui/VYKOrmeltaView.h"
#include "uikit/UIButton.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UISlider.h"

#include <cmath>
#include <limits>

namespace {

void println(const std::string& line) { Console::write(line + "\n"); }

void notAvailable(std::int64_t address) {
    println("AudioUnitViewController: ERROR: The parameter address " + std::to_string(address) + " is not available.");
}

} // namespace

std::shared_ptr<AudioUnitViewController> AudioUnitViewController::make() {
    return std::make_shared<AudioUnitViewController>();
}

AudioUnitViewController::AudioUnitViewController() {
    setViewBuilder([this](UIView& root) { buildExtensionScene(*this, root); });
}

AudioUnitViewController::~AudioUnitViewController() {
    if (timer_) timer_->invalidate();
    if (overlayAnimator_) overlayAnimator_->stop();
    disconnectParameters();
    // The views may outlive the controller (a host keeps them in its window).
    if (mainView) {
        mainView->setViewController(nullptr);
        mainView->delegate = nullptr;
    }
    if (correlographView) correlographView->setViewController(nullptr);
}

// --- Factory and hookup ---

std::shared_ptr<AUAudioUnit> AudioUnitViewController::createAudioUnit(const AudioComponentDescription& description) {
    auto unit = std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(description, 0);
    setAudioUnit(unit);
    return audioUnit();
}

std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> AudioUnitViewController::audioUnit() const {
    std::lock_guard lock(unitMutex_);
    return audioUnit_;
}

void AudioUnitViewController::setAudioUnit(std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit) {
    std::uint64_t assignment;
    {
        std::lock_guard lock(unitMutex_);
        audioUnit_ = std::move(unit);
        assignment = ++assignments_;
    }
    println("AU Diagnostics: AUAudioUnit::didSet()");
    auto self = std::static_pointer_cast<AudioUnitViewController>(shared_from_this());
    DispatchQueue::main().async([self, assignment] {
        if (!self->isViewLoaded()) {
            println("AU Diagnostics: WARNING: Plugin view is not loaded.");
            return;
        }
        // The view's loading may have connected this assignment already.
        if (self->connectedAssignment_ != assignment) self->hookUp();
    });
}

void AudioUnitViewController::hookUp() {
    {
        std::lock_guard lock(unitMutex_);
        connectedAssignment_ = assignments_;
    }
    println("AU Diagnostics: We are about to connect the audio unit to its view controller.");
    mainView->setViewController(this);
    setPaths();
    connectParameters();
    updateView();
}

void AudioUnitViewController::setPaths() {
    if (!audioUnit()) {
        println("Error: could not set paths, audio unit is nil.");
        return;
    }
    const std::vector<URL> documents = FileManager::defaultManager().documentDirectoryURLs();
    if (documents.empty())
        println("Error: could not find the documents folder.");
    else
        println("Audio Unit's documents path is: " + documents.front().path());
    if (const std::optional<URL> resources = Bundle::main().resourceURL())
        println("Audio Unit's resources path is: " + resources->path());
    else
        println("Error: could not find the resources folder.");
}

void AudioUnitViewController::disconnectParameters() {
    if (parameterTree_ && parameterObserverToken_ != 0)
        parameterTree_->removeParameterObserver(parameterObserverToken_);
    parameterObserverToken_ = 0;
}

void AudioUnitViewController::connectParameters() {
    const auto unit = audioUnit();
    if (!unit) {
        println("AU Diagnostics: WARNING: The audio unit is nil.");
        return;
    }
    println("AU Diagnostics: Retriving parameters from the audio unit: ");
    // One observer at a time: the earlier unit's goes first.
    disconnectParameters();
    parameterTree_ = unit->parameterTree();
    if (!parameterTree_) {
        println("AU Diagnostics: Retriving the parameter tree from the audio unit failed.");
        return;
    }
    println("ExtensionViewController: Extracting at the parameter tree: ");
    ParameterTreeDump::extractParameters("parameterTree", parameterTree_.get(), 0, parameters_);
    parameters_ = parameterTree_->allParameters();
    if (parameters_.empty()) return;
    std::weak_ptr<AudioUnitViewController> weak = std::static_pointer_cast<AudioUnitViewController>(shared_from_this());
    parameterObserverToken_ =
        parameterTree_->tokenByAddingParameterObserver([weak](AUParameterAddress address, AUValue value) {
            auto self = weak.lock();
            if (!self) {
                println("AU Diagnostics: The strong self shit is nil.");
                return;
            }
            DispatchQueue::main().async([self = std::move(self), address, value] {
                if (self->mainView && address <= std::uint64_t(std::numeric_limits<std::int64_t>::max()))
                    self->mainView->setParameter(static_cast<std::int64_t>(address), value);
            });
        });
    if (parameterObserverToken_ == 0)
        println("ERROR: Could not initialize parameter observer.");
    else
        println("AU Diagnostics: Connected parameters to the plugins interface.");
}

void AudioUnitViewController::updateView() {
    if (!audioUnit()) return;
    for (const auto& parameter : parameters_)
        mainView->setParameter(static_cast<std::int64_t>(parameter->address()), parameter->value());
}

void AudioUnitViewController::onVYKOrmeltaViewParameter(std::int64_t address, float value) {
    const auto unit = audioUnit();
    if (!unit) return;
    // The unit takes 32-bit addresses; a wider one names no parameter.
    if (address < 0 || address > std::numeric_limits<std::int32_t>::max()) return notAvailable(address);
    unit->setParameter(static_cast<std::int32_t>(address), value);
}

void AudioUnitViewController::onVYKTemplateViewParameter(std::int64_t address, float value) {
    onVYKOrmeltaViewParameter(address, value);
}

void AudioUnitViewController::onVYKOrmeltaViewOption(std::int64_t address, float value) {
    if (address == 49)
        correlographView->setHidden(value == 0.0f);
    else if (address == 48)
        correlographView->setNormalized(value == 1.0f);
    else if (address == 50)
        correlographView->setSuspended(value == 1.0f);
}

void AudioUnitViewController::setParameter(std::int64_t address, float value) {
    if (!parameterTree_) return;
    const auto parameter = address < 0 ? nullptr : parameterTree_->parameterWithAddress(AUParameterAddress(address));
    if (parameter)
        parameter->setValue(value);
    else
        notAvailable(address);
}

float AudioUnitViewController::getParameter(NSInteger address) {
    if (!parameterTree_) return 0;
    const auto parameter = address < 0 ? nullptr : parameterTree_->parameterWithAddress(AUParameterAddress(address));
    if (parameter) return parameter->value();
    notAvailable(address);
    return 0;
}

// --- Life, layout and the refresh timer ---

void AudioUnitViewController::viewDidLoad() {
    AUViewController::viewDidLoad();
    mainView->delegate = this;
    mainView->setViewController(this);
    correlographView->setViewController(this);
    currentView_ = pluginView;
    currentView_->setHidden(false);
    onBrightnessSlider(*brightnessSlider);
    onFreezeButton(*freezeButton);
    std::weak_ptr<AudioUnitViewController> weak = std::static_pointer_cast<AudioUnitViewController>(shared_from_this());
    timer_ = Timer::scheduledTimer(0.04, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->onTimer();
    });
    std::uint64_t assignments;
    {
        std::lock_guard lock(unitMutex_);
        assignments = audioUnit_ ? assignments_ : 0;
    }
    if (assignments == 0)
        println("AudioUnitViewController: WARNING: The audio unit plugin is nil (yet?).");
    else if (connectedAssignment_ != assignments)
        hookUp(); // a unit that came before its view is connected now
}

void AudioUnitViewController::viewDidLayoutSubviews() {
    AUViewController::viewDidLayoutSubviews();
    if (!lockAutoLayout_) centerpluginView();
}

void AudioUnitViewController::centerpluginView() {
    const CGRect b = view()->bounds();
    resetpluginView(b.size.width, b.size.height);
}

void AudioUnitViewController::resetpluginView(CGFloat w, CGFloat h, CGFloat inset) {
    if (!currentView_) return;
    const CGFloat W = w - 2 * inset;
    const CGFloat H = h - 2 * inset;
    const CGRect b = view()->bounds();
    // The height governs only where the panel it gives fits the width.
    if (H < W && fitToHeight && H / ratio <= W) {
        const CGFloat width = H / ratio;
        currentView_->setFrame({b.size.width / 2 - width / 2 + inset, inset, width, H});
    } else {
        const CGFloat height = W * ratio;
        currentView_->setFrame({inset, b.size.height / 2 - height / 2, W, height});
    }
}

bool AudioUnitViewController::isViewVisible(const UIView& view) const {
    if (!view.window()) return false;
    for (const UIView* v = &view; v->superview(); v = v->superview()) {
        if (!v->superview()->bounds().intersects(v->frame()) || v->isHidden()) return false;
    }
    return true;
}

void AudioUnitViewController::onTimer() {
    const auto unit = audioUnit();
    if (!unit) {
        println("WARNING: The Audio unit is not initialized.");
        return;
    }
    if (unit->shouldBypassEffect() || !correlographView) return;
    if (isViewVisible(*correlographView)) correlographView->setNeedsDisplay();
}

// --- Gestures and controls ---

void AudioUnitViewController::onContrastButton(UIButton& sender) {
    brightnessSlider->setHidden(!brightnessSlider->isHidden());
    const bool shown = !brightnessSlider->isHidden();
    sender.setAlpha(shown ? 1.0 : 0.5);
    touchesLocked = shown;
}

void AudioUnitViewController::onBrightnessSlider(UISlider& sender) {
    touchesLocked = true;
    pluginFrame->contrast = sender.value();
    pluginFrame->setNeedsDisplay();
    mainView->setContrast(static_cast<CGFloat>(sender.value()));
}

void AudioUnitViewController::onFreezeButton(UIButton& sender) {
    isSizeable = !isSizeable;
    sender.setAlpha(isSizeable ? 0.5 : 1.0);
}

void AudioUnitViewController::onPanGesture(UIPanGestureRecognizer& sender) {
    using State = UIGestureRecognizer::State;
    const bool acting = isSizeable && !touchesLocked;
    switch (sender.state()) {
    case State::began:
        if (!acting) return;
        panning_ = true;
        lockAutoLayout_ = true;
        controlFrame_ = currentView_->frame();
        break;
    case State::changed:
        if (panning_ && acting) {
            const CGPoint t = sender.translation(view().get());
            currentView_->setFrame(controlFrame_.offsetBy(t.x, t.y));
        }
        break;
    case State::ended:
    case State::cancelled:
        // However the pan went, its end gives the panel back to layout and touches.
        if (panning_) {
            controlFrame_ = currentView_->frame();
            lockAutoLayout_ = false;
        }
        panning_ = false;
        touchesLocked = false;
        break;
    default:
        break;
    }
}

void AudioUnitViewController::onPinchGesture(UIPinchGestureRecognizer& sender) {
    using State = UIGestureRecognizer::State;
    const State state = sender.state();
    if (!isSizeable) {
        // A pinch frozen half-way still gives the panel back to layout.
        if (state == State::ended || state == State::cancelled) lockAutoLayout_ = false;
        return;
    }
    touchesLocked = false;
    switch (state) {
    case State::began:
        lockAutoLayout_ = true;
        controlFrame_ = currentView_->frame();
        break;
    case State::changed: {
        const CGFloat s = sender.scale;
        const CGFloat cx = controlFrame_.midX(), cy = controlFrame_.midY();
        const CGRect candidate{(controlFrame_.minX() - cx) * s + cx, (controlFrame_.minY() - cy) * s + cy,
                               controlFrame_.width() * s, controlFrame_.height() * s};
        if (candidate.size.width >= 128 && candidate.size.width <= 2048) currentView_->setFrame(candidate);
        break;
    }
    case State::ended:
        lockAutoLayout_ = false;
        controlFrame_ = currentView_->frame();
        break;
    case State::cancelled:
        lockAutoLayout_ = false;
        break;
    default:
        break;
    }
}

void AudioUnitViewController::onDoubleTapGesture(UITapGestureRecognizer&) {
    touchesLocked = false;
    centerpluginView();
}

void AudioUnitViewController::onTapGesture(UITapGestureRecognizer&) {
    touchesLocked = false;
    controlFrame_ = currentView_->frame();
}

void AudioUnitViewController::onlongPressGesture(UILongPressGestureRecognizer& sender) {
    using State = UIGestureRecognizer::State;
    if (sender.state() == State::began) {
        contrastButton->setHidden(!contrastButton->isHidden());
        freezeButton->setHidden(contrastButton->isHidden());
        if (!contrastButton->isHidden()) {
            touchesLocked = true;
        } else {
            brightnessSlider->setHidden(true);
            touchesLocked = false;
        }
    } else if (sender.state() == State::ended) {
        contrastButton->setAlpha(1.0);
        touchesLocked = false;
    }
}

void AudioUnitViewController::doTranslationTransform(UIView& view, CGRect origin, CGPoint position) {
    view.setFrame(origin.offsetBy(position.x, position.y));
    view.setNeedsDisplay();
}

void AudioUnitViewController::doScalingTransform(UIView& view, CGRect origin, CGFloat scaling) {
    const CGFloat w = origin.width() * scaling;
    if (!(w >= 256 && w <= 2048)) return;
    const CGFloat h = origin.height() * scaling;
    view.setFrame({origin.midX() - w / 2, origin.midY() - h / 2, w, h});
    view.setNeedsDisplay();
}
