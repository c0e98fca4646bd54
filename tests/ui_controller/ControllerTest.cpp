// The controller's own duties: the dump, layout, the refresh timer, gestures and
// controls, the overlay and the dialogs.
#include "ControllerRig.h"

#include "ui/CorrelographView.h"
#include "ui/ParameterTreeDump.h"
#include "ui/PluginFrameEx.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UISlider.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

using vyk::test::ControllerRig;
using Lines = std::vector<std::string>;

Lines block(const std::string& t, const std::string& address, const std::string& name, const std::string& value,
            const std::string& raw, const Lines& flags, const std::string& max, const std::string& min,
            const std::string& unit, const std::string& unitName, const std::string& strings) {
    Lines l{"",
            t + "ExtensionViewController: Folllowing AU parameter was found... ",
            t + "- address:  " + address,
            t + "- displayName:  " + name,
            t + "- value:  " + value,
            t + "- options:  AudioUnitParameterOptions(rawValue: " + raw + ")",
            t + "- The flag value includes the following flags... "};
    for (const auto& f : flags) l.push_back(t + f);
    for (const auto& s : {"- maxValue:  " + max, "- minValue:  " + min, "- unit: " + unit, "- unitName:  " + unitName,
                          "- valueStrings:  " + strings})
        l.push_back(t + s);
    return l;
}

TEST(ParameterTreeDump, PrintsEachParameterOfEachGroupAsWritten) {
    auto param = [](AUParameterAddress a, std::string name, AudioUnitParameterUnit unit,
                    std::optional<std::string> unitName, AudioUnitParameterOptions flags,
                    std::optional<std::vector<std::string>> strings) {
        return AUParameterTree::createParameter("p" + std::to_string(a), std::move(name), a, 0, 1, unit,
                                                std::move(unitName), flags, std::move(strings), std::nullopt);
    };
    auto rw = param(0, "Volume In", kAudioUnitParameterUnit_Generic, std::nullopt, 0xC0000000, std::nullopt);
    auto ro =
        param(8, "Bypass", kAudioUnitParameterUnit_Decibels, "dB", 0x40000000, std::vector<std::string>{"a", "b"});
    auto cubed = param(9, "Cubed", AudioUnitParameterUnit(27), std::nullopt, 0x30000, std::nullopt);
    auto loose = param(7, "Loose", kAudioUnitParameterUnit_Generic, std::nullopt, 0, std::nullopt);
    auto inner = AUParameterTree::createGroup("inner", "Inner", {cubed});
    auto tree = AUParameterTree::createTree({loose, AUParameterTree::createGroup("g", "Group", {rw, ro, inner})});
    rw->setValue(0.5f);
    ro->setValue(20000.0f);

    vyk::test::Lines lines;
    std::vector<std::shared_ptr<AUParameter>> found;
    ParameterTreeDump::extractParameters("parameterTree", tree.get(), 0, found);
    ParameterTreeDump::extractParameters("none", nullptr, 0, found);
    const std::string t = "\t", tt = "\t\t";
    Lines expected;
    for (const Lines& b : {block(t, "0", "Volume In", "0.5", "3221225472", {" - flag_IsReadable", " - flag_IsWritable"},
                                 "1.0", "0.0", "(type 0)  generic", "", "[]"),
                           block(t, "8", "Bypass", "20000.0", "1073741824", {" - flag_IsReadable"}, "1.0", "0.0",
                                 "(type 13)  decibels", "dB", "[\"a\", \"b\"]"),
                           block(t, "9", "Cubed", "0.0", "196608",
                                 {" - flag_DisplaySquareRoot", " - flag_DisplaySquared", " - flag_DisplayCubed"}, "1.0",
                                 "0.0", "(type 27)  unknown parameter kind", "", "[]"),
                           // The nested group once more, one level deeper.
                           block(tt, "9", "Cubed", "0.0", "196608",
                                 {" - flag_DisplaySquareRoot", " - flag_DisplaySquared", " - flag_DisplayCubed"}, "1.0",
                                 "0.0", "(type 27)  unknown parameter kind", "", "[]")})
        expected.insert(expected.end(), b.begin(), b.end());
    expected.push_back("ExtensionViewController: The parameter group has no children.");
    EXPECT_EQ(lines.take(), expected);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[3], cubed);
}

TEST_F(ControllerRig, HookupListsTheTreeAndShowsTheUnitsValues) {
    EXPECT_EQ(controller->parameters().size(), 47u);
    EXPECT_EQ(controller->getParameter(2), 2.0f);
    lines.take();
    EXPECT_EQ(controller->getParameter(47), 0.0f);
    EXPECT_EQ(lines.take(), Lines{"AudioUnitViewController: ERROR: The parameter address 47 is not available."});
    controller->onVYKOrmeltaViewOption(49, 0.5f);
    EXPECT_FALSE(controller->correlographView->isHidden());
    controller->onVYKOrmeltaViewOption(48, 0.5f);
    EXPECT_FALSE(controller->correlographView->baseClass().isNormalized);
    // A second unit replaces the first one's observer: the first no longer reaches the panel.
    auto first = unit;
    controller->createAudioUnit(vyk::test::effectDescription());
    settle();
    first->parameterTree()->parameterWithAddress(26)->setValue(1);
    settle();
    EXPECT_FALSE(model().isSwapOn[0]);
}

TEST_F(ControllerRig, PanelKeepsItsAspectInsideAnyView) {
    // view width, height, fit to height; panel x, y, width, height
    const double cases[][7] = {{1000, 500, 1, 216.667, 0, 566.667, 500},
                               {500, 800, 1, 0, 179.412, 500, 441.176},
                               {600, 600, 1, 0, 35.294, 600, 529.412},
                               {680, 650, 1, 0, 25, 680, 600},
                               {1000, 500, 0, 0, -191.176, 1000, 882.353}};
    for (const auto& c : cases) {
        controller->fitToHeight = c[2] != 0;
        window->resize({c[0], c[1]}, 1);
        settle();
        const CGRect f = controller->pluginView->frame();
        const double got[] = {f.minX(), f.minY(), f.width(), f.height()};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c[3 + i], 1e-3) << c[0] << "x" << c[1];
    }
}

TEST_F(ControllerRig, CorrelographRefreshesAt25HzOnlyWhileActiveAndVisible) {
    const auto marks = [&] {
        int n = 0;
        for (int i = 0; i < 25; ++i) {
            RunLoop::main().advance(0.04);
            n += controller->correlographView->needsDisplay();
            window->displayIfNeeded();
        }
        return n;
    };
    EXPECT_EQ(marks(), 25);
    unit->setShouldBypassEffect(true);
    EXPECT_EQ(marks(), 0);
    unit->setShouldBypassEffect(false);
    controller->pluginView->setHidden(true);
    EXPECT_EQ(marks(), 0);
    controller->pluginView->setHidden(false);
    const CGSize size = controller->correlographView->bounds().size;
    controller->correlographView->setFrame({{-900, 0}, size}); // outside the panel
    EXPECT_EQ(marks(), 0);

    std::weak_ptr<AudioUnitViewController> gone = controller;
    controller.reset();
    lines.take();
    RunLoop::main().advance(1);
    EXPECT_TRUE(gone.expired());
    EXPECT_TRUE(lines.take().empty());
}

TEST_F(ControllerRig, GesturesMoveZoomRefitAndFreezeThePanel) {
    EXPECT_FALSE(controller->isSizeable); // frozen after loading
    controller->onFreezeButton(*controller->freezeButton);
    EXPECT_TRUE(controller->isSizeable);
    EXPECT_EQ(controller->freezeButton->alpha(), 0.5);
    const auto frame = [&] { return controller->pluginView->frame(); };
    const auto pinch = [&](int notches) {
        for (int i = 0; i < std::abs(notches); ++i) window->scrollWheel({340, 300}, notches > 0 ? 1 : -1, true);
        settle();
    };
    pinch(11);
    EXPECT_NEAR(frame().width(), 680 * std::pow(1.1, 11), 1e-6);
    pinch(1); // 3.14 x: beyond 2048, held
    EXPECT_NEAR(frame().width(), 680 * std::pow(1.1, 11), 1e-6);
    RunLoop::main().advance(0.5); // the wheel rests: the pinch ends
    EXPECT_EQ(controller->controlFrame(), frame());
    EXPECT_FALSE(controller->isAutoLayoutLocked());
    pinch(-28);
    EXPECT_NEAR(frame().width(), 680 * std::pow(1.1, -17), 1e-6);
    pinch(-1); // below 128: held
    EXPECT_NEAR(frame().width(), 680 * std::pow(1.1, -17), 1e-6);
    RunLoop::main().advance(1);

    window->mouseDown({2, 2});      // on no hot spot: the pan moves the panel
    window->mouseDragged({22, 12}); // begins
    window->mouseDragged({52, 32});
    window->mouseUp({52, 32});
    EXPECT_EQ(controller->controlFrame(), frame());
    EXPECT_NEAR(frame().minX(), 50 + 340 * (1 - std::pow(1.1, -17)), 1e-9);
    EXPECT_NEAR(frame().minY(), 30 + 300 * (1 - std::pow(1.1, -17)), 1e-9);
    RunLoop::main().advance(1);
    click({2, 2}, false); // double tap: fitted again
    click({2, 2}, false);
    EXPECT_EQ(frame(), (CGRect{0, 0, 680, 600}));

    controller->onFreezeButton(*controller->freezeButton);
    pinch(3);
    EXPECT_EQ(frame(), (CGRect{0, 0, 680, 600}));

    controller->brightnessSlider->setValue(0.3f);
    controller->onBrightnessSlider(*controller->brightnessSlider);
    EXPECT_EQ(controller->pluginFrame->contrast, 0.3f);
    const double v = 0.3f;
    EXPECT_EQ(model().colorContrast, UIColor(1 - v, 1 - v, 1 - v, 1));
    EXPECT_EQ(model().colorContrastInverted, UIColor(v, v, v, 1));
}

TEST_F(ControllerRig, OverlayFadesInThenOutAndANewerTextSurvives) {
    const auto& view = *controller->infoView;
    controller->showInfo("first");
    EXPECT_EQ(view.alpha(), 0);
    RunLoop::main().advance(1.0);
    EXPECT_GT(view.alpha(), 0.9);
    EXPECT_DOUBLE_EQ(view.transform().a, view.alpha()); // grows with its alpha
    controller->showInfo("second");
    RunLoop::main().advance(3.3); // the first tween's fade-out would have ended here
    EXPECT_EQ(controller->infoMessage->text(), "second");
    EXPECT_FALSE(view.isHidden());
    RunLoop::main().advance(1.0);
    EXPECT_TRUE(view.isHidden());
    EXPECT_EQ(controller->infoMessage->text(), "");
}

TEST_F(ControllerRig, DialogsAskAndLogAndNeverLeaveTheDocumentsFolder) {
    namespace fs = std::filesystem;
    const fs::path docs = fs::temp_directory_path() / ("vyk-controller-docs-" + std::to_string(::getpid()));
    fs::create_directories(docs);
    std::ofstream(docs / "taken") << "x";
    const char* inherited = std::getenv("VYK_WIMBRAX_DOCUMENTS");
    const std::string previous = inherited ? inherited : "";
    ::setenv("VYK_WIMBRAX_DOCUMENTS", docs.c_str(), 1);
    const auto shown = [&] { return dynamic_cast<UIAlertController*>(controller->presentedViewController()); };
    const auto press = [&](const std::string& title, const std::string& typed = {}) {
        UIAlertController* a = shown();
        ASSERT_TRUE(a);
        if (!a->textFields().empty()) a->textFields().front()->setText(typed);
        for (const auto& action : a->actions())
            if (action->title() == title) return a->trigger(action);
        FAIL() << title;
    };
    lines.take();
    controller->alertFileName("save", "taken");
    press("OK"); // empty: the default name, which exists
    ASSERT_TRUE(shown());
    EXPECT_EQ(shown()->message(), "The file already exists. Please type in another file name: ");
    EXPECT_EQ(shown()->textFields().front()->text(), "taken");
    press("OK", "../taken");
    EXPECT_EQ(shown()->message(), "Please enter the file name for the current file: ");
    press("OK", "fresh");
    EXPECT_FALSE(shown());
    controller->alertFileName2("save", "x");
    press("Cancel");
    controller->alert("Cap", "Msg");
    press("OK");
    controller->alertQuestion("Q", "Sure?");
    press("No");
    EXPECT_EQ(lines.take(), (Lines{"AudioUnitViewController: ERROR: The file name \"../taken\" is not allowed.",
                                   "Save action was canceled.", "Alert: Cap : Msg", "Alert was accepted.",
                                   "Alert: Q : Sure?", "Answer was NO."}));
    if (inherited)
        ::setenv("VYK_WIMBRAX_DOCUMENTS", previous.c_str(), 1);
    else
        ::unsetenv("VYK_WIMBRAX_DOCUMENTS");
    fs::remove_all(docs);
}

} // namespace
