#pragma once
// The main window: makes the component finder, embeds the effect's panel in
// the plug-in view (hidden until the unit button), shows play or stop after
// the player's state, and opens the help screen.
// Thread rules: main thread (the finder and the player report there).
#include "host/AUExtensionManager.h"
#include "uikit/UIButton.h"
#include "uikit/UIDocumentPickerViewController.h"
#include "uikit/UIViewController.h"

#include <memory>
#include <string>

class ViewController : public UIViewController,
                       public AUExtensionManagerDelegate,
                       public AUEnginePlayerDelegate,
                       public UIDocumentPickerDelegate {
public:
    // Outlets, connected by the main scene before the view loads.
    std::shared_ptr<UIView> pluginView;
    std::shared_ptr<UIButton> buttonUnit, buttonInfo, buttonHelp, playButton, stopButton;

    // Actions.
    void onButtonUnit();
    void onPlayButton();
    void onStopButton();
    void showHelp();

    void viewDidLoad() override;
    void prepare(UIStoryboardSegue& segue, const std::any& sender) override;

    void onFoundComponent(std::shared_ptr<AVAudioUnit> unit) override;
    void onEngineInitialized() override {}
    void onPlayerStateChanged(bool playing) override;
    void onFileSelect(const std::string&) override {}
    void onLoop(long) override {}

    // Routines nothing in the application calls.
    void embedPlugInView();
    void centerPluginView();
    void resetPluginView(CGFloat w, CGFloat h);
    void openFilePicker();
    void alertMessage(const std::string& title, const std::string& message);
    void documentPicker(UIDocumentPickerViewController& picker, const URL& url) override;
    void documentPicker(UIDocumentPickerViewController& picker, const std::vector<URL>& urls) override;
    void documentPickerWasCancelled(UIDocumentPickerViewController& picker) override;

    AUExtensionManager* audioUnitManager() const { return audioUnitManager_.get(); }
    // The unit's controller that resetPluginView lays out; nothing else sets it.
    void setAudioUnitViewControllerForTesting(std::shared_ptr<UIViewController> c) { audioUnitViewController_ = c; }

private:
    void getDirectories();

    std::shared_ptr<AUExtensionManager> audioUnitManager_;
    std::string documentsPath_, sharedPath_, resourcesPath_;
    std::shared_ptr<UIViewController> audioUnitViewController_;
};
