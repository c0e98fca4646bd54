#include "AppRig.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIDocumentPickerViewController.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Screen {
    UIWindow window{{640, 480}};
    std::shared_ptr<UIViewController> root = std::make_shared<UIViewController>();
    Screen() { root->showIn(window); }
};

// The file-name prompt of the panel's save dialog.
std::shared_ptr<UIAlertController> fileNamePrompt(std::string& result, std::string& cancelled) {
    auto alert = UIAlertController::make("File name", "Please enter the file name for the current file: ");
    alert->addTextField([](UITextField& f) {
        f.setPlaceholder("file name");
        f.setText("preset");
    });
    std::weak_ptr<UIAlertController> weak = alert;
    alert->addAction(UIAlertAction::make("OK", UIAlertAction::Style::defaultStyle, [weak, &result](UIAlertAction&) {
        result = weak.lock()->textFields()[0]->text();
    }));
    alert->addAction(UIAlertAction::make("Cancel", UIAlertAction::Style::cancel,
                                         [&cancelled](UIAlertAction& a) { cancelled = a.title(); }));
    return alert;
}

using vyk::test::artifactPath;

// The file-name prompt shown over a screen, its field focused.
class Prompt : public ::testing::Test {
protected:
    Screen s;
    std::string result, cancelled;
    std::shared_ptr<UIAlertController> alert = fileNamePrompt(result, cancelled);
    UITextField& field = shown();

    UITextField& shown() {
        s.root->present(alert, true);
        return *alert->textFields()[0];
    }
};

TEST_F(Prompt, TypingEditingAndConfirmingAFileName) {
    EXPECT_TRUE(field.isFirstResponder());
    EXPECT_EQ(field.cursor(), 6u);

    UIKeyboard::insertText("-é\n\x01"); // line breaks and control characters are no file name
    EXPECT_EQ(field.text(), "preset-é");
    UIKeyboard::press({UIKey::backspace}); // a whole two-byte character
    EXPECT_EQ(field.text(), "preset-");
    UIKeyboard::press({UIKey::home});
    UIKeyboard::press({UIKey::deleteForward});
    UIKeyboard::insertText("P");
    EXPECT_EQ(field.text(), "Preset-");
    UIKeyboard::press({UIKey::end});
    UIKeyboard::press({UIKey::left, true}); // select "-", typing replaces it
    UIKeyboard::insertText("\xF0\x9F\x8E\xB5 1");
    EXPECT_EQ(field.text(), "Preset\xF0\x9F\x8E\xB5 1");
    UIKeyboard::insertText("\xC3"); // a broken sequence is dropped
    EXPECT_EQ(field.text(), "Preset\xF0\x9F\x8E\xB5 1");

    s.window.displayIfNeeded();
    s.window.writePNG(artifactPath("alert-file-name.png"));
    UIKeyboard::press({UIKey::returnKey});
    EXPECT_EQ(result, "Preset\xF0\x9F\x8E\xB5 1");
    EXPECT_TRUE(cancelled.empty());
    EXPECT_EQ(s.root->presentedViewController(), nullptr);
    EXPECT_EQ(UIKeyboard::focusedField(), nullptr);
    UIKeyboard::insertText("x"); // nobody listens any more
    EXPECT_EQ(field.text(), "Preset\xF0\x9F\x8E\xB5 1");
}

TEST_F(Prompt, SelectsByMouseShowsThePlaceholderAndCancels) {
    // Drag from before the first character to past the last: everything is selected.
    const CGRect b = field.bounds();
    s.window.mouseDown(field.convert(CGPoint{1, b.midY()}, nullptr));
    s.window.mouseDragged(field.convert(CGPoint{b.maxX() - 2, b.midY()}, nullptr));
    s.window.mouseUp(field.convert(CGPoint{b.maxX() - 2, b.midY()}, nullptr));
    EXPECT_EQ(field.selectionStart(), 0u);
    EXPECT_EQ(field.selectionEnd(), 6u);
    UIKeyboard::press({UIKey::deleteForward});
    EXPECT_EQ(field.text(), "");
    // The empty field shows its grey placeholder, darker than the white field.
    s.window.displayIfNeeded();
    const CGPoint text = field.convert(CGPoint{8, b.midY()}, nullptr);
    bool ink = false;
    for (int dx = 0; dx < 40; ++dx) ink |= s.window.surface().pixel(int(text.x) + dx, int(text.y)).r < 200;
    EXPECT_TRUE(ink);
    // Escape runs the cancel action.
    UIKeyboard::press({UIKey::escape});
    EXPECT_EQ(cancelled, "Cancel");
    EXPECT_TRUE(result.empty());
}

TEST(Alert, ButtonsRunTheirActionAfterTheAlertIsGone) {
    Screen s;
    bool stillShown = true;
    auto alert = UIAlertController::make("Question", "Yes or no?");
    alert->addAction(UIAlertAction::make("Yes", UIAlertAction::Style::defaultStyle));
    alert->addAction(UIAlertAction::make("No", UIAlertAction::Style::cancel, [&](UIAlertAction&) {
        stillShown = s.root->presentedViewController() != nullptr;
    }));
    s.root->present(alert, true);
    // Without text fields, Tab and arrows do nothing; the No button answers.
    EXPECT_FALSE(UIKeyboard::press({UIKey::tab}));
    vyk::test::click(s.window, *alert->buttonFor(*alert->actions()[1]));
    EXPECT_FALSE(stillShown);
    EXPECT_EQ(UIViewController::topPresented(), nullptr);
}

} // namespace

namespace {

namespace fs = std::filesystem;

class PickerLog : public UIDocumentPickerDelegate {
public:
    std::vector<std::string> picked;
    int cancelled = 0;
    void documentPicker(UIDocumentPickerViewController&, const std::vector<URL>& urls) override {
        for (const auto& u : urls) picked.push_back(u.path());
    }
    void documentPickerWasCancelled(UIDocumentPickerViewController&) override { ++cancelled; }
};

struct Tree : vyk::test::TemporaryFolder {
    fs::path root = path();
    Tree() {
        fs::create_directories(root / "sub" / "deeper");
        for (const char* f : {"b.aupreset", "a.txt", "z.pdf", ".hidden", "sub/d.txt", "sub/c.txt"})
            std::ofstream(root / f) << "x";
        fs::create_symlink("/dev/null", root / "device"); // not a regular file: left out
    }
};

UIView* findNamed(UIView& v, const std::string& name) {
    if (v.accessibilityIdentifier == name) return &v;
    for (const auto& sub : v.subviews())
        if (UIView* found = findNamed(*sub, name)) return found;
    return nullptr;
}

std::vector<std::string> names(const UIDocumentPickerViewController& p) {
    std::vector<std::string> out;
    for (const auto& e : p.entries()) out.push_back(e.isFolder ? e.name + "/" : e.name);
    return out;
}

std::shared_ptr<UIDocumentPickerViewController> showPicker(Screen& s, const std::string& type, const fs::path& folder,
                                                           std::shared_ptr<PickerLog> delegate) {
    auto picker = UIDocumentPickerViewController::make({type}, UIDocumentPickerMode::open);
    picker->delegate = std::move(delegate);
    picker->directoryURL = URL::fileURL(folder.string());
    s.root->present(picker, true);
    return picker;
}

void clickRow(UIWindow& window, UIDocumentPickerViewController& picker, const std::string& name) {
    const auto& entries = picker.entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name == name) {
            const CGFloat y =
                (static_cast<CGFloat>(i) + 0.5) * UIDocumentPickerViewController::rowHeight - picker.scrollOffset();
            const CGPoint p = picker.listView().convert(CGPoint{60, y}, nullptr);
            window.mouseDown(p);
            window.mouseUp(p);
            return;
        }
    ADD_FAILURE() << "no row " << name;
}

TEST(DocumentPicker, NavigatesIntoAFolderAndBackAndReturnsTwoFiles) {
    Tree tree;
    Screen s;
    auto delegate = std::make_shared<PickerLog>();
    auto picker = showPicker(s, "public.data", tree.root, delegate);
    picker->allowsMultipleSelection = true;
    EXPECT_EQ(names(*picker), (std::vector<std::string>{"../", "a.txt", "b.aupreset", "sub/", "z.pdf"}));
    EXPECT_EQ(picker->highlighted(), 1);

    UIKeyboard::press({UIKey::down});
    UIKeyboard::press({UIKey::down});
    UIKeyboard::press({UIKey::right}); // into "sub"
    EXPECT_EQ(picker->folder(), (tree.root / "sub").string());
    EXPECT_EQ(names(*picker), (std::vector<std::string>{"../", "c.txt", "d.txt", "deeper/"}));
    clickRow(s.window, *picker, "d.txt");
    UIKeyboard::press({UIKey::left}); // back up; the check stays
    EXPECT_EQ(picker->folder(), tree.root.string());
    clickRow(s.window, *picker, "z.pdf");
    clickRow(s.window, *picker, "a.txt");
    clickRow(s.window, *picker, "z.pdf"); // a second click unchecks
    s.window.writePNG(artifactPath("document-picker.png"));
    vyk::test::click(s.window, *findNamed(*picker->view(), "Open"));
    EXPECT_EQ(delegate->picked,
              (std::vector<std::string>{(tree.root / "sub/d.txt").string(), (tree.root / "a.txt").string()}));
    EXPECT_EQ(delegate->cancelled, 0);
    EXPECT_EQ(s.root->presentedViewController(), nullptr);
}

TEST(DocumentPicker, FiltersByTypeOpensFoldersByDoubleClickAndCancels) {
    Tree tree;
    Screen s;
    auto delegate = std::make_shared<PickerLog>();
    auto picker = showPicker(s, "com.adobe.pdf", tree.root, delegate);
    EXPECT_EQ(names(*picker), (std::vector<std::string>{"../", "sub/", "z.pdf"}));
    clickRow(s.window, *picker, "sub");
    clickRow(s.window, *picker, "sub");
    EXPECT_EQ(names(*picker), (std::vector<std::string>{"../", "deeper/"}));
    UIKeyboard::press({UIKey::returnKey}); // Enter on a folder that cannot be picked opens it
    EXPECT_EQ(picker->folder(), (tree.root / "sub/deeper").string());
    UIKeyboard::press({UIKey::escape});
    EXPECT_EQ(delegate->cancelled, 1);
    EXPECT_TRUE(delegate->picked.empty());

    // Folders as the picked type: Enter returns the highlighted folder.
    auto folders = showPicker(s, "public.folder", tree.root, delegate);
    EXPECT_EQ(names(*folders), (std::vector<std::string>{"../", "sub/"}));
    UIKeyboard::press({UIKey::returnKey});
    EXPECT_EQ(delegate->picked, (std::vector<std::string>{(tree.root / "sub").string()}));
}

TEST(DocumentPicker, ScrollsToKeepTheHighlightInSight) {
    Tree tree;
    for (int i = 0; i < 40; ++i) std::ofstream(tree.root / ("file" + std::to_string(100 + i) + ".txt")) << "x";
    Screen s;
    auto picker = showPicker(s, "public.plain-text", tree.root, nullptr);
    for (int i = 0; i < 30; ++i) UIKeyboard::press({UIKey::down});
    const CGFloat top = picker->highlighted() * UIDocumentPickerViewController::rowHeight - picker->scrollOffset();
    EXPECT_GT(picker->scrollOffset(), 0);
    EXPECT_GE(top, 0);
    EXPECT_LE(top + UIDocumentPickerViewController::rowHeight, picker->listView().bounds().height());
    // The wheel scrolls back to the top, and no further.
    const CGRect b = picker->listView().bounds();
    s.window.scrollWheel(picker->listView().convert(CGPoint{b.midX(), b.midY()}, nullptr), 100, false);
    EXPECT_EQ(picker->scrollOffset(), 0);
}

} // namespace
