#include "host/ViewController.h"

#include "foundation/FileManager.h"
#include "foundation/Bundle.h"
#include "host/HelpViewController.h"
#include "host/HostEnvironment.h"
#include "shared/ViewPinning.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIApplication.h"

using host::println;

void ViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    println("Info: Main view controller loaded.");
    playButton->setHidden(false);
    stopButton->setHidden(true);
    auto self = std::dynamic_pointer_cast<ViewController>(shared_from_this());
    audioUnitManager_ = AUExtensionManager::make(self);
    audioUnitManager_->auEngine->delegate = self;
    pluginView->setHidden(true);
    getDirectories();
}

void ViewController::getDirectories() {
    const auto documents = FileManager::defaultManager().documentDirectoryURLs();
    if (documents.empty()) return println("ViewController: Documents directory is nil.");
    documentsPath_ = documents.front().path();
    println("ViewController: The app's documents path is: " + documentsPath_);
    const auto resources =
        host::environment().resourceFolder ? host::environment().resourceFolder : Bundle::main().resourceURL();
    if (!resources) return println("ViewController: Resources folder is nil.");
    resourcesPath_ = resources->path();
    println("ViewController: The app's resources path is: " + resourcesPath_);
}

void ViewController::onButtonUnit() { pluginView->setHidden(!pluginView->isHidden()); }

void ViewController::onPlayButton() { audioUnitManager_->togglePlayback(); }

void ViewController::onStopButton() { audioUnitManager_->togglePlayback(); }

void ViewController::showHelp() {
    UIApplication::shared().open(host::makerURL(), {});
    performSegue("ShowHelp", shared_from_this());
}

void ViewController::prepare(UIStoryboardSegue& segue, const std::any&) {
    if (!segue.identifier()) return;
    const std::string& identifier = *segue.identifier();
    println(identifier);
    if (identifier == "ShowInfo" || identifier == "ShowHelp")
        if (auto help = std::dynamic_pointer_cast<HelpViewController>(segue.destination()))
            help->prepareInfo(identifier);
}

void ViewController::onFoundComponent(std::shared_ptr<AVAudioUnit> unit) {
    println("ViewController: Loading the audio unit's interface...");
    if (!unit) return println("ERROR: The audio unit is not initialized to load the user interface.");
    std::weak_ptr<UIViewController> weak = shared_from_this();
    unit->auAudioUnit()->requestViewController([weak](std::shared_ptr<AUViewController> controller) {
        auto strong = std::dynamic_pointer_cast<ViewController>(weak.lock());
        if (!strong) return println("ERROR: Self is nil !?");
        if (!controller || !controller->view())
            return println("ERROR: Something is wrong with the view controller and view of the audio unit.");
        const auto& unitView = controller->view();
        strong->addChild(controller);
        unitView->setFrame(strong->pluginView->bounds());
        strong->pluginView->addSubview(unitView);
        pinToSuperviewEdges(*unitView);
        controller->didMove(strong.get());
        unitView->setNeedsDisplay();
    });
}

void ViewController::onPlayerStateChanged(bool playing) {
    playButton->setHidden(playing);
    stopButton->setHidden(!playing);
}

void ViewController::embedPlugInView() {
    const auto controller = audioUnitManager_ ? audioUnitManager_->viewController : nullptr;
    if (!controller) return println("ERROR: Could not load audio unit's view controller.");
    if (!controller->view()) return;
    addChild(controller);
    controller->view()->setFrame(pluginView->bounds());
    pluginView->addSubview(controller->view());
    pinToSuperviewEdges(*controller->view());
    controller->didMove(this);
}

void ViewController::centerPluginView() { resetPluginView(view()->bounds().width(), view()->bounds().height()); }

void ViewController::resetPluginView(CGFloat w, CGFloat h) {
    if (!audioUnitViewController_) return println("WARNING: Cannot reset the pluginview (yet).");
    const CGRect own = view()->bounds();
    const auto& unitView = audioUnitViewController_->view();
    if (w < h) {
        const CGFloat W = h / 0.75;
        pluginView->setFrame(CGRect{own.width() / 2 - W / 2, 0, W, h});
        if (unitView) unitView->setFrame(CGRect{0, 0, W, h});
    } else {
        const CGFloat H = w * 0.75;
        pluginView->setFrame(CGRect{0, own.height() / 2 - H / 2, w, H});
        if (unitView) unitView->setFrame(CGRect{0, 0, w, H});
    }
    pluginView->setNeedsDisplay();
}

void ViewController::openFilePicker() {
    auto picker = UIDocumentPickerViewController::make({"public.folder"}, UIDocumentPickerMode::open);
    picker->delegate = std::dynamic_pointer_cast<ViewController>(shared_from_this());
    picker->allowsMultipleSelection = false;
    present(picker, true, [] {});
}

void ViewController::documentPicker(UIDocumentPickerViewController&, const URL& url) {
    println("documentPicker (didPickDocumentAt): " + url.path());
}

void ViewController::documentPicker(UIDocumentPickerViewController&, const std::vector<URL>& urls) {
    std::string list = "[";
    for (std::size_t i = 0; i < urls.size(); ++i) list += (i ? ", " : "") + urls[i].absoluteString();
    println("documentPicker: " + list + "]");
    if (!urls.empty()) println("documentPicker (didPickDocumentsAt): " + urls.front().path());
}

void ViewController::documentPickerWasCancelled(UIDocumentPickerViewController&) {
    println("The document picker was canceled.");
}

void ViewController::alertMessage(const std::string& title, const std::string& message) {
    println(title + ": " + message);
    auto alert = UIAlertController::make(title, message, UIAlertController::Style::alert);
    alert->addAction(UIAlertAction::make("OK", UIAlertAction::Style::defaultStyle,
                                         [](UIAlertAction&) { println("Alert was confirmed."); }));
    alert->addAction(UIAlertAction::make("Cancel", UIAlertAction::Style::cancel,
                                         [](UIAlertAction&) { println("Alert was canceled."); }));
    present(alert, true);
}
