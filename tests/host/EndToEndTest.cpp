// The whole host in-process: start, embedding, playback through the effect, the
// MIDI output handler, the help screen, stop.
#include "HostRig.h"

#include "audiotoolbox/AUParameterTree.h"
#include "foundation/ProcessInfo.h"
#include "host/HelpViewController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace host::test;

namespace {

// The lines as a subsequence of what was printed.
void inOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
    auto at = lines.begin();
    for (const auto& e : expected)
        if ((at = std::find(at, lines.end(), e)) == lines.end())
            return ADD_FAILURE() << "missing or out of order: " << e;
        else
            ++at;
}

// Mean power from `from` to the end.
double power(const std::vector<float>& x, std::size_t from) {
    double sum = 0;
    for (std::size_t i = from; i < x.size(); ++i) sum += double(x[i]) * x[i];
    return sum / double(x.size() - from);
}

double dB(double ratio) { return 10 * std::log10(ratio); }

// The longest run of (near) silent samples.
std::size_t longestSilence(const std::vector<float>& x, std::size_t from) {
    std::size_t run = 0, longest = 0;
    for (std::size_t i = from; i < x.size(); ++i) {
        run = std::fabs(x[i]) < 1e-4f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

TEST(HostEndToEnd, StartPlayThroughTheEffectHelpAndStop) {
    HostRig rig;
    ViewController& vc = *rig.controller;

    // Start: found, logged, instantiated, connected, embedded in the hidden plug-in view.
    ASSERT_TRUE(rig.pumpUntil([&] { return !vc.children().empty(); }));
    const std::string pid = std::to_string(ProcessInfo::processInfo().processIdentifier());
    inOrder(rig.console.lines(),
            {"Info: Main view controller loaded.",
             "NOTE: WE ARE IN AUDIO UNIT RELEASE MODE. ENSURE THE STORYBOARD CONNECTIONS ARE VALID!",
             "AUExtensionManager: Loaded component has following properties.", "",
             "Process Name: " + ProcessInfo::processInfo().processName() + " PID: " + pid, "", "AUExtension (",
             "type: aumf", "subtype: vkwb", "manufacturer: FLNR", "flags: 0x00000002", ")",
             "AUExtensionManager: Audio unit was found, making connections now ...",
             "AUEnginePlayer: A new audio unit will be connected.",
             "AUEnginePlayer: The audio unit reports MIDI output names. Assigning a handling block.",
             "AUEnginePlayer: Audio unit was attached.",
             "AUEnginePlayer::ERROR: There was a problem with the file processing format or the file is nil (yet).",
             "AUExtensionManager: Performed audio unit connection.",
             "ViewController: Loading the audio unit's interface..."});
    ASSERT_TRUE(rig.pumpUntil([&] { return rig.hasLine("AUExtension::midiOutputEventBlock (set) "); }));
    EXPECT_TRUE(rig.hasLine("AUExtension::midiOutputNames: [\"VYK Wimbrax MIDI Out\"]"));
    EXPECT_FALSE(rig.hasLine("AU Diagnostics: WARNING: Plugin view is not loaded."));
    ASSERT_EQ(vc.pluginView->subviews().size(), 1u);
    EXPECT_EQ(vc.pluginView->subviews()[0], vc.children()[0]->view());
    EXPECT_TRUE(vc.pluginView->isHidden());

    // The unit button shows the panel; play starts the engine and swaps the buttons.
    ASSERT_TRUE(rig.press(vc.buttonUnit));
    EXPECT_FALSE(vc.pluginView->isHidden());
    ASSERT_TRUE(rig.press(vc.playButton));
    ASSERT_TRUE(rig.pumpUntil([&] { return !vc.stopButton->isHidden(); }));
    EXPECT_TRUE(vc.playButton->isHidden());
    inOrder(
        rig.console.lines(),
        {"AUEnginePlayer: Audio file at '" + rig.folder.file("1.m4a") + "' was selected for loading into the player.",
         "AUEnginePlayer: Player was (temporarily) disconnecting from the main mixer.",
         "AUEnginePlayer: Audio unit was (temporarily) disconnecting from the player.", "2",
         "AUEnginePlayer: Audio unit re-connecting to the player.",
         "AUEnginePlayer: Audio unit re-connectingto the main mixer.", rig.folder.file("1.m4a"),
         "AUEnginePlayer: Audio session was set active.", "AUEnginePlayer: Audio engine starting."});
    EXPECT_TRUE(rig.hasLine("AUExtension::allocateRenderResources()"));

    // Passes follow each other without a gap, counted once each; the tone stays left.
    rig.render(5 * kLoopFrames / 2);
    ASSERT_TRUE(rig.pumpUntil([&] {
        return rig.hasLine("AUEnginePlayer: Current audio file '" + rig.folder.file("1.m4a") + "' looped: 2.");
    }));
    EXPECT_FALSE(rig.hasLine("AUEnginePlayer: Current audio file '" + rig.folder.file("1.m4a") + "' looped: 3."));
    for (const auto* channel : {&rig.left, &rig.right})
        EXPECT_TRUE(std::all_of(channel->begin(), channel->end(), [](float x) { return std::isfinite(x); }));
    const std::size_t settled = 4096; // past the effect's latency
    EXPECT_LT(longestSilence(rig.left, settled), 64u);
    EXPECT_GT(dB(power(rig.left, settled)), -40.0);
    EXPECT_GT(dB(power(rig.left, settled) / power(rig.right, settled)), 10.0);

    // Touches on the panel (shown at its own size under the bar): all-pass, then swap.
    // The tree follows and the tone moves to the right.
    rig.window->displayIfNeeded(); // the panel's hot spots come with its first draw
    for (const CGPoint p : {CGPoint{250, 40}, CGPoint{50, 240}}) {
        rig.window->mouseDown(CGPoint{p.x, p.y + host::kBarHeight});
        rig.window->mouseUp(CGPoint{p.x, p.y + host::kBarHeight});
    }
    const auto unit = vc.audioUnitManager()->auEngine->activeAVAudioUnit()->auAudioUnit();
    EXPECT_EQ(unit->parameterTree()->parameterWithAddress(2)->value(), 0);
    EXPECT_EQ(unit->parameterTree()->parameterWithAddress(26)->value(), 1);
    const std::size_t before = rig.left.size();
    rig.render(2 * kLoopFrames);
    EXPECT_GT(dB(power(rig.right, before + settled) / power(rig.left, before + settled)), 10.0);
    RunLoop::main().runUntilIdle();
    const char* artifacts = std::getenv("VYK_ARTIFACTS_DIR");
    rig.window->writePNG(std::string(artifacts ? artifacts : ".") + "/host-end-to-end.png");

    // MIDI from the unit's output block reaches the console; a short message as far as it goes.
    const std::uint8_t noteOn[] = {0x90, 60, 100};
    ASSERT_TRUE(unit->MIDIOutputEventBlock());
    EXPECT_EQ((*unit->MIDIOutputEventBlock())(0, 0, 3, noteOn), 0);
    EXPECT_EQ((*unit->MIDIOutputEventBlock())(7, 0, 2, noteOn), 0);
    ASSERT_TRUE(
        rig.pumpUntil([&] { return rig.hasLine("AUEnginePlayer: MIDI event from audio unit at: 7, data: 144, 60"); }));
    inOrder(rig.console.lines(), {"AUEnginePlayer: MIDI event from audio unit at: 0, data: 144, 60, 100",
                                  "AUEnginePlayer::WARNING: The MIDI data length is not as expected.",
                                  "AUEnginePlayer: MIDI event from audio unit at: 7, data: 144, 60"});

    // Help: the maker's page goes to the browser, the manual to the help screen.
    const std::string maker = host::makerURL().absoluteString();
    const std::string manual = URL::fileURL(rig.folder.file("manual.pdf")).absoluteString();
    rig.console.clear();
    ASSERT_TRUE(rig.press(vc.buttonHelp));
    EXPECT_EQ(rig.opened, std::vector<std::string>{maker});
    EXPECT_EQ(rig.console.lines(),
              (std::vector<std::string>{"ShowHelp", "navigationAction: ", manual, "navigationResponse: ", manual}));
    auto help = [&] { return dynamic_cast<HelpViewController*>(vc.presentedViewController()); };
    ASSERT_TRUE(help());
    EXPECT_EQ(help()->webViewOutlet.lock()->pageCount(), 2);
    ASSERT_TRUE(rig.press(help()->buttonExit));
    EXPECT_EQ(vc.presentedViewController(), nullptr);

    // Info: the maker's page passes the decisions and is handed to the browser.
    rig.console.clear();
    ASSERT_TRUE(rig.press(vc.buttonInfo));
    inOrder(rig.console.lines(), {"ShowInfo", "navigationAction: ", maker, "navigationResponse: ", maker});
    EXPECT_EQ(rig.opened, (std::vector<std::string>{maker, maker}));
    ASSERT_TRUE(rig.press(help()->buttonExit));

    // Stop.
    ASSERT_TRUE(rig.press(vc.stopButton));
    ASSERT_TRUE(rig.pumpUntil([&] { return !vc.playButton->isHidden(); }));
    EXPECT_TRUE(vc.stopButton->isHidden());
    EXPECT_TRUE(rig.hasLine("AUEnginePlayer: Audio engine stopping."));
}
