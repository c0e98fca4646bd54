#include "AppRig.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Screen {
    UIWindow window{{640, 480}};
    std::shared_ptr<UIViewController> root = std::make_shared<UIViewController>();
    Screen() { root->showIn(window); }
};

// The file-name prompt of the panel's save dialog.
std::shared_ptr<UIAlertController> fileNamePrompt(std::string& result, std::string& cancelled)
{
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

TEST(Alert, TypingEditingAndConfirmingAFileName)
{
    Screen s;
    std::string result, cancelled;
    auto alert = fileNamePrompt(result, cancelled);
    s.root->present(alert, true);
    UITextField& field = *alert->textFields()[0];
    EXPECT_TRUE(field.isFirstResponder());
    EXPECT_EQ(field.cursor(), 6u);

    UIKeyboard::insertText("-é\n\x01");  // line breaks and control characters are no file name
    EXPECT_EQ(field.text(), "preset-é");
    UIKeyboard::press({UIKey::backspace});  // a whole two-byte character
    EXPECT_EQ(field.text(), "preset-");
    UIKeyboard::press({UIKey::home});
    UIKeyboard::press({UIKey::deleteForward});
    UIKeyboard::insertText("P");
    EXPECT_EQ(field.text(), "Preset-");
    UIKeyboard::press({UIKey::end});
    UIKeyboard::press({UIKey::left, true});  // select "-", typing replaces it
    UIKeyboard::insertText("\xF0\x9F\x8E\xB5 1");
    EXPECT_EQ(field.text(), "Preset\xF0\x9F\x8E\xB5 1");
    UIKeyboard::insertText("\xC3");  // a broken sequence is dropped
    EXPECT_EQ(field.text(), "Preset\xF0\x9F\x8E\xB5 1");

    s.window.displayIfNeeded();
    s.window.writePNG(std::string(std::getenv("VYK_ARTIFACTS_DIR") ? std::getenv("VYK_ARTIFACTS_DIR") : ".") +
                      "/alert-file-name.png");
    UIKeyboard::press({UIKey::returnKey});
    EXPECT_EQ(result, "Preset\xF0\x9F\x8E\xB5 1");
    EXPECT_TRUE(cancelled.empty());
    EXPECT_EQ(s.root->presentedViewController(), nullptr);
    EXPECT_EQ(UIKeyboard::focusedField(), nullptr);
    UIKeyboard::insertText("x");  // nobody listens any more
    EXPECT_EQ(field.text(), "Preset\xF0\x9F\x8E\xB5 1");
}

TEST(Alert, SelectsByMouseAndShowsThePlaceholder)
{
    Screen s;
    std::string result, cancelled;
    auto alert = fileNamePrompt(result, cancelled);
    s.root->present(alert, true);
    UITextField& field = *alert->textFields()[0];
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
    for (int dx = 0; dx < 40; ++dx)
        ink |= s.window.surface().pixel(int(text.x) + dx, int(text.y)).r < 200;
    EXPECT_TRUE(ink);
    // Escape runs the cancel action.
    UIKeyboard::press({UIKey::escape});
    EXPECT_EQ(cancelled, "Cancel");
    EXPECT_TRUE(result.empty());
}

TEST(Alert, ButtonsRunTheirActionAfterTheAlertIsGone)
{
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
