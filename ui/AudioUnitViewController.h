#pragma once
// The extension's principal view controller: the audio unit factory, the two-way
// hookup between the unit's parameter tree and the panel, the panel's layout at its
// aspect ratio, the 25 Hz correlograph refresh, the gestures and controls that move,
// zoom, freeze and brighten the panel, the info overlay and the file and alert
// dialogs. make() gives it the extension's scene (ExtensionScene.h).
//
// Ownership: the controller owns its views (through its root view) and its unit;
// views, models, the timer and the parameter observer refer back to it without
// owning it, and the destructor clears them, removes the observer and stops the
// timer and the overlay.
//
// Thread rules: main thread, except createAudioUnit()/setAudioUnit() (any thread;
// the hookup runs later on the main queue). The parameter observer may run on any
// thread: it only hops to the main queue.
#include "audiotoolbox/AUAudioUnitFactory.h"
#include "audiotoolbox/AUParameterTree.h"
#include "audiotoolbox/AUViewController.h"
#include "coregraphics/CGGeometry.h"
#include "ui/PanelController.h"
#include "ui/VYKOrmeltaViewDelegate.h"
#include "uikit/UIDocumentPickerViewController.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CorrelographView;
class PluginFrameEx;
class Timer;
class UIButton;
class UILabel;
class UILongPressGestureRecognizer;
class UIPanGestureRecognizer;
class UIPinchGestureRecognizer;
class UISlider;
class UITapGestureRecognizer;
class VYKOrmeltaView;
class VYK_Wimbrax_Extension_AudioUnit;
namespace vyk {
class Animator;
}

class AudioUnitViewController : public AUViewController,
                                public AUAudioUnitFactory,
                                public UIDocumentPickerDelegate,
                                public VYKOrmeltaViewDelegate,
                                public PanelController {
public:
    // With the extension's scene as its view.
    static std::shared_ptr<AudioUnitViewController> make();
    AudioUnitViewController();
    ~AudioUnitViewController() override;

    // Factory and hookup.
    std::shared_ptr<AUAudioUnit> createAudioUnit(const AudioComponentDescription& description) override;
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit() const override;
    void setAudioUnit(std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit);
    void onVYKOrmeltaViewParameter(std::int64_t address, float value) override;
    void onVYKOrmeltaViewOption(std::int64_t address, float value) override;
    void onVYKTemplateViewParameter(std::int64_t address, float value);
    void onVYKTemplateViewOption(std::int64_t, float) {}
    // By address through the tree; 0 without a tree or for an address it lacks.
    void setParameter(std::int64_t address, float value);
    float getParameter(NSInteger address) override;
    bool useObservers = true;

    // State shared with the panel and the gestures.
    bool touchesLocked = false;
    bool isSizeable = true;
    CGRect controlFrame() const { return controlFrame_; }
    bool isAutoLayoutLocked() const { return lockAutoLayout_; }
    const std::vector<std::shared_ptr<AUParameter>>& parameters() const { return parameters_; }
    bool hasRefreshTimer() const { return timer_ != nullptr; }

    // Outlets, connected by the scene.
    std::shared_ptr<PluginFrameEx> pluginFrame;
    std::shared_ptr<UIView> pluginView;
    std::shared_ptr<CorrelographView> correlographView;
    std::shared_ptr<VYKOrmeltaView> mainView;
    std::shared_ptr<UIView> infoView;
    std::shared_ptr<UILabel> infoMessage;
    std::shared_ptr<UIButton> contrastButton;
    std::shared_ptr<UISlider> brightnessSlider;
    std::shared_ptr<UIButton> freezeButton;
    std::shared_ptr<UIPanGestureRecognizer> panGesture;
    std::shared_ptr<UIPinchGestureRecognizer> pinchGesture;
    std::shared_ptr<UITapGestureRecognizer> doubleTapGesture;
    std::shared_ptr<UITapGestureRecognizer> tapGesture;
    std::shared_ptr<UILongPressGestureRecognizer> longPressGesture;

    CGFloat ratio = 600.0 / 680.0; // panel height over width
    bool fitToHeight = true;
    std::string reasonForQuestion;
    std::string reasonForImport;

    // Life and layout.
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void centerpluginView();
    bool isViewVisible(const UIView& view) const;

    // Actions of the scene's controls and recognisers.
    void onContrastButton(UIButton& sender);
    void onBrightnessSlider(UISlider& sender);
    void onFreezeButton(UIButton& sender);
    void onPanGesture(UIPanGestureRecognizer& sender);
    void onPinchGesture(UIPinchGestureRecognizer& sender);
    void onDoubleTapGesture(UITapGestureRecognizer& sender);
    void onTapGesture(UITapGestureRecognizer& sender);
    void onlongPressGesture(UILongPressGestureRecognizer& sender);

    // Info overlay: fades and grows in, then at once fades and shrinks out.
    void showInfo(const std::string& string);
    void hideInfo();

    // Dialogs; each reports only through console lines.
    void prepare(UIStoryboardSegue& segue, const std::any& sender) override;
    void openFilePicker();
    void documentPicker(UIDocumentPickerViewController& picker, const URL& url) override;
    void documentPicker(UIDocumentPickerViewController& picker, const std::vector<URL>& urls) override;
    void documentPickerWasCancelled(UIDocumentPickerViewController& picker) override;
    void alertFileName(const std::string& purpose, const std::string& defaultName);
    void alertFileName2(const std::string& purpose, const std::string& defaultName);
    void alert(const std::string& caption, const std::string& message, std::function<void()> completion = {});
    void alertQuestion(const std::string& caption, const std::string& question, std::function<void()> completion = {});

private:
    void hookUp();
    void setPaths();
    void connectParameters();
    void updateView();
    void disconnectParameters();
    void onTimer();
    void resetpluginView(CGFloat w, CGFloat h, CGFloat inset = 0);
    void doTranslationTransform(UIView& view, CGRect origin, CGPoint position);
    void doScalingTransform(UIView& view, CGRect origin, CGFloat scaling);
    void animateOverlay(float destination, std::int64_t frames, bool fadeIn);
    void promptFileName(const std::string& purpose, const std::string& defaultName, const std::string& message);
    void acceptFileName(const std::string& purpose, const std::string& defaultName, const std::string& typed);

    mutable std::mutex unitMutex_;
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit_; // guarded by unitMutex_
    std::uint64_t assignments_ = 0;                              // guarded by unitMutex_
    std::uint64_t connectedAssignment_ = 0;                      // main thread

    std::string startFolderForSegue = "VYK Wimbrax/";
    std::shared_ptr<Timer> timer_;
    bool lockAutoLayout_ = false;
    bool panning_ = false;
    CGRect controlFrame_;
    AUParameterObserverToken parameterObserverToken_ = 0;
    std::shared_ptr<AUParameterTree> parameterTree_;
    std::vector<std::shared_ptr<AUParameter>> parameters_;
    std::shared_ptr<UIView> currentView_;
    std::shared_ptr<vyk::Animator> overlayAnimator_;
};
