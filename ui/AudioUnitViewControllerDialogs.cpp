// The info overlay and the file and alert dialogs of the controller.
#include "ui/AudioUnitViewController.h"

#include "animation/Animator.h"
#include "foundation/Console.h"
#include "foundation/FileManager.h"
#include "uikit/UIAlertController.h"
#include "uikit/UILabel.h"

namespace {

void println(const std::string& line) { Console::write(line + "\n"); }

const char* const kFirstPrompt = "Please enter the file name for the current file: ";
const char* const kSecondPrompt = "The file already exists. Please type in another file name: ";

// A name that stays inside the documents folder as one plain entry.
bool acceptableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

} // namespace

// --- Info overlay ---

void AudioUnitViewController::showInfo(const std::string& string) {
    infoMessage->setText(string);
    infoView->setHidden(false);
    infoView->setAlpha(0);
    animateOverlay(1.0f, 320, true);
}

void AudioUnitViewController::hideInfo() { animateOverlay(0.0f, 120, false); }

void AudioUnitViewController::animateOverlay(float destination, std::int64_t frames, bool fadeIn) {
    // One overlay animation at a time, so an earlier fade-out cannot erase a newer text.
    if (overlayAnimator_) overlayAnimator_->stop();
    overlayAnimator_ =
        vyk::Animator::make(static_cast<float>(infoView->alpha()), destination, frames, 0.009f,
                            fadeIn ? vyk::EnumEasing::EASING_easeOutExpo : vyk::EnumEasing::EASING_easeInExpo);
    overlayAnimator_->onAnimation = [this](vyk::Animator&, float v) {
        infoView->setAlpha(v);
        infoView->setTransform(CGAffineTransform::makeScale(v, v));
    };
    overlayAnimator_->onFinished = [this, fadeIn](vyk::Animator&, float) {
        if (fadeIn) {
            hideInfo();
            return;
        }
        overlayAnimator_.reset();
        infoView->setHidden(true);
        infoMessage->setText("");
    };
    overlayAnimator_->start();
}

// --- Dialogs ---

void AudioUnitViewController::prepare(UIStoryboardSegue& segue, const std::any&) {
    if (segue.identifier()) println(*segue.identifier());
}

void AudioUnitViewController::openFilePicker() {
    auto picker = UIDocumentPickerViewController::make({"public.data"}, UIDocumentPickerMode::import);
    picker->delegate = std::shared_ptr<UIDocumentPickerDelegate>(shared_from_this(), this);
    picker->allowsMultipleSelection = true;
    present(picker, true, [] {});
}

void AudioUnitViewController::documentPicker(UIDocumentPickerViewController& picker, const URL& url) {
    println("documentPicker: " + url.absoluteString());
    documentPicker(picker, std::vector<URL>{url});
}

void AudioUnitViewController::documentPicker(UIDocumentPickerViewController&, const std::vector<URL>& urls) {
    std::string text = "[";
    for (std::size_t i = 0; i < urls.size(); ++i) text += (i ? ", " : "") + urls[i].absoluteString();
    println("documentPicker: " + text + "]");
}

void AudioUnitViewController::documentPickerWasCancelled(UIDocumentPickerViewController&) {
    println("The document picker was canceled.");
}

void AudioUnitViewController::alertFileName(const std::string& purpose, const std::string& defaultName) {
    promptFileName(purpose, defaultName, kFirstPrompt);
}

void AudioUnitViewController::alertFileName2(const std::string& purpose, const std::string& defaultName) {
    promptFileName(purpose, defaultName, kSecondPrompt);
}

void AudioUnitViewController::promptFileName(const std::string& purpose, const std::string& defaultName,
                                             const std::string& message) {
    auto prompt = UIAlertController::make("File name", message);
    prompt->addTextField([&defaultName](UITextField& field) {
        field.setPlaceholder("file name");
        field.setText(defaultName);
    });
    std::weak_ptr<UIAlertController> weakPrompt = prompt;
    std::weak_ptr<AudioUnitViewController> weakSelf =
        std::static_pointer_cast<AudioUnitViewController>(shared_from_this());
    prompt->addAction(UIAlertAction::make(
        "OK", UIAlertAction::Style::defaultStyle, [weakPrompt, weakSelf, purpose, defaultName](UIAlertAction&) {
            auto self = weakSelf.lock();
            auto alert = weakPrompt.lock();
            if (self && alert) self->acceptFileName(purpose, defaultName, alert->textFields().front()->text());
        }));
    prompt->addAction(UIAlertAction::make("Cancel", UIAlertAction::Style::cancel,
                                          [](UIAlertAction&) { println("Save action was canceled."); }));
    present(prompt, true);
}

void AudioUnitViewController::acceptFileName(const std::string& purpose, const std::string& defaultName,
                                             const std::string& typed) {
    const std::string name = typed.empty() ? defaultName : typed;
    if (!acceptableName(name)) {
        println("AudioUnitViewController: ERROR: The file name \"" + name + "\" is not allowed.");
        promptFileName(purpose, defaultName, kFirstPrompt);
        return;
    }
    const std::vector<URL> documents = FileManager::defaultManager().documentDirectoryURLs();
    if (documents.empty()) {
        println("Error: could not find the documents folder.");
        return;
    }
    const URL url = documents.front().appendingPathComponent(name);
    if (FileManager::defaultManager().fileExists(url.path())) alertFileName2(purpose, url.lastPathComponent());
}

void AudioUnitViewController::alert(const std::string& caption, const std::string& message,
                                    std::function<void()> completion) {
    println("Alert: " + caption + " : " + message);
    auto alert = UIAlertController::make(caption, message);
    alert->addAction(UIAlertAction::make("OK", UIAlertAction::Style::defaultStyle,
                                         [](UIAlertAction&) { println("Alert was accepted."); }));
    present(alert, true, std::move(completion));
}

void AudioUnitViewController::alertQuestion(const std::string& caption, const std::string& question,
                                            std::function<void()> completion) {
    println("Alert: " + caption + " : " + question);
    auto alert = UIAlertController::make(caption, question);
    alert->addAction(UIAlertAction::make("Yes", UIAlertAction::Style::defaultStyle,
                                         [](UIAlertAction&) { println("Answer was YES."); }));
    alert->addAction(
        UIAlertAction::make("No", UIAlertAction::Style::cancel, [](UIAlertAction&) { println("Answer was NO."); }));
    present(alert, true, std::move(completion));
}
