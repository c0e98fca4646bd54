#include "ManualText.h"

namespace manual {

const std::vector<Item>& manualText() {
    using B = Block;
    static const std::vector<Item> items{
        {B::title, "VYK Wimbrax", {}},
        {B::subtitle, "Stereo-field effect and player. User manual.", {}},

        {B::heading, "1. What the effect does", {}},
        {B::paragraph,
         "VYK Wimbrax reshapes the stereo image of a signal in real time. It works on the full band "
         "at once, or splits the signal into a low, a middle and a high band at two movable split "
         "points and treats each band on its own. For the full band and for every band it offers "
         "stereo width, panorama, channel swap, inversion of one channel, mono recovery and mono "
         "audition, with each band switchable on and off and its own gain. A compander with fixed "
         "settings on the summed output keeps the level in check.",
         {}},
        {B::paragraph,
         "Typical uses: narrowing a bass that smears across the field while widening the air above "
         "it; moving a lopsided recording back to the centre; finding phase problems by listening "
         "to the mono sum of one band; and repairing a track whose channels cancel each other.",
         {}},
        {B::paragraph,
         "The effect is a loadable audio component (type aumf, subtype vkwb, manufacturer FLNR). "
         "The VYK Wimbrax player that comes with it finds the component, plays short loops through "
         "it and shows its panel. It has no audio of its own: what you hear is always the loop as "
         "changed by the effect.",
         {}},

        {B::heading, "2. The player", {}},
        {B::paragraph,
         "The player window holds five buttons and, once opened, the effect's panel. At start the "
         "player searches for the effect, loads it and connects it between the loop player and the "
         "output. The console tells every step of that road.",
         {}},
        {B::bullet, "shows or hides the effect's panel. The panel is hidden at start.", "Unit"},
        {B::bullet,
         "starts playback. Every start picks one of the 80 loops at random and plays it over and "
         "over through the effect until you stop.",
         "Play"},
        {B::bullet, "stops playback. Only one of Play and Stop is shown at a time.", "Stop"},
        {B::bullet, "opens this manual in the player's help screen and the maker's web page in your browser.", "Help"},
        {B::bullet, "opens the maker's web page in the help screen.", "Info"},
        {B::paragraph,
         "The help screen has an exit button that returns to the player. Links to other sites are "
         "followed only for pages and PDF documents.",
         {}},

        {B::heading, "3. The panel", {}},
        {B::paragraph,
         "The panel is drawn on a canvas of 680 by 600 units and scales to any window size, keeping "
         "its proportions. Touch or click a control and drag; a switch changes at the touch.",
         {}},
        {B::subheading, "Mode buttons and the band bar", {}},
        {B::bullet, "works on the full band: one set of controls for the whole signal.", "All-pass"},
        {B::bullet,
         "splits the signal into the low (LP), middle (BP) and high (HP) band. The band bar "
         "appears below the buttons.",
         "Multiband"},
        {B::bullet,
         "touch a band's range in the bar to select it; the controls below then show and change "
         "that band's settings.",
         "Band ranges"},
        {B::bullet,
         "drag the two markers between the ranges to move the split points between low and middle "
         "and between middle and high.",
         "Split markers"},
        {B::bullet, "the small switch under each band turns that band's output on or off.", "Band on/off"},
        {B::subheading, "Knobs and sliders", {}},
        {B::bullet,
         "the large square in the middle. Drag sideways to pan and up or down to change the "
         "width, both at once, for the selected band.",
         "Stereo field pad"},
        {B::bullet,
         "from narrow (0) through the original image (0.5) to wide (1). The round button "
         "at its left puts it back to the middle.",
         "Stereo width"},
        {B::bullet,
         "moves the image from left (0) through the centre (0.5) to right (1). The round button "
         "at its right puts it back to the centre.",
         "Panorama"},
        {B::bullet,
         "is shown on the panel and kept with presets and automation; this version does not yet "
         "apply it to the sound.",
         "Phase shift"},
        {B::subheading, "Switches of the selected band", {}},
        {B::bullet, "exchanges left and right.", "Swap"},
        {B::bullet, "inverts the polarity of one channel.", "Invert"},
        {B::bullet,
         "folds the band back toward mono by the amount of its width setting, so that material "
         "which would cancel in a mono sum survives.",
         "Recover"},
        {B::bullet, "plays the band as mono, so you hear what a mono listener hears.", "Mono"},
        {B::subheading, "The correlograph", {}},
        {B::paragraph,
         "The square display draws the left channel against the right 25 times a second. A "
         "vertical line means mono, a horizontal line means the channels cancel, a round cloud "
         "means a wide, uncorrelated image. Its two switches at the left choose between the "
         "oscillograph picture and the phase picture, and whether the picture is normalised to "
         "its loudest point.",
         {}},
        {B::subheading, "Gestures", {}},
        {B::bullet, "moves the whole panel in its window.", "Drag outside a control"},
        {B::bullet, "zooms the panel about its centre.", "Pinch (Ctrl and the wheel)"},
        {B::bullet, "fits the panel to the window again.", "Double tap"},
        {B::bullet,
         "shows two small buttons: one opens a brightness slider, the other freezes the panel so "
         "that it cannot be moved or zoomed.",
         "Long press"},

        {B::heading, "4. Parameters", {}},
        {B::paragraph,
         "Every control is a parameter of the effect that a host can automate. The 47 parameters, "
         "by address: 0 and 1 input and output volume; 2 the processing mode (0 all-pass, 1 low, "
         "2 middle, 3 high band); 3 and 4 the two split points; 5 to 7 the bands on or off; 8 to "
         "10 band bypass (read only); 11 to 13 band volume; then, four each for all-pass, low, "
         "middle and high band: 14 to 17 stereo width, 18 to 21 panorama, 22 to 25 phase shift, 26 "
         "to 29 swap, 30 to 33 invert, 34 to 37 recover mono, 38 to 41 mono audition; 42 the "
         "limiter switch and 43 to 46 the compander's multiplier, attack, hold and release. The "
         "volumes 0 and 1, the phase shifts and the dynamics settings 42 to 46 are stored and "
         "reported but do not change the sound in this version.",
         {}},

        {B::heading, "5. Presets", {}},
        {B::paragraph,
         "The effect's factory presets are the files with the extension .aupreset in the Presets "
         "folder of the documents folder. Put a file there and it appears in the host's preset "
         "list under its file name. The documents folder is, in this order: the folder named by "
         "VYK_WIMBRAX_DOCUMENTS when that is an absolute path; else vyk-wimbrax in "
         "$XDG_DATA_HOME when that is absolute; else ~/.local/share/vyk-wimbrax.",
         {}},
        {B::paragraph,
         "A preset file is a property list (XML, or binary bplist00) holding one dictionary. Its "
         "keys: version (1), type, subtype and manufacturer (the component's codes as integers), "
         "number, name, data, count (the number of groups), one dictionary per group named "
         "\"group 0\", \"group 1\" and so on, and link. A group holds identifier "
         "(kGlobalParameters), count, and one dictionary per parameter named \"param 0\", "
         "\"param 1\" ..., each with address, identifier and value. A hand-written example:",
         {}},
        {B::code,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<plist version=\"1.0\">\n"
         "<dict>\n"
         "  <key>version</key>      <integer>1</integer>\n"
         "  <key>type</key>         <integer>1635085670</integer>\n"
         "  <key>subtype</key>      <integer>1986754402</integer>\n"
         "  <key>manufacturer</key> <integer>1179405906</integer>\n"
         "  <key>name</key>         <string>Narrow bass</string>\n"
         "  <key>count</key>        <integer>1</integer>\n"
         "  <key>group 0</key>\n"
         "  <dict>\n"
         "    <key>identifier</key> <string>kGlobalParameters</string>\n"
         "    <key>count</key>      <integer>1</integer>\n"
         "    <key>param 0</key>\n"
         "    <dict>\n"
         "      <key>address</key>    <integer>15</integer>\n"
         "      <key>identifier</key> <string>kStereoWidth1</string>\n"
         "      <key>value</key>      <real>0.1</real>\n"
         "    </dict>\n"
         "  </dict>\n"
         "</dict>\n"
         "</plist>",
         {}},
        {B::paragraph,
         "Parameters that a preset does not name keep their values. A file that cannot be read is "
         "refused with a message, and the effect keeps its settings.",
         {}},

        {B::heading, "6. Command line", {}},
        {B::code, "VYK-Wimbrax [--headless] [--press NAME]... [--run-seconds N] [--screenshot FILE.png]", {}},
        {B::bullet,
         "runs without a window, drawing offscreen. Without a display the player does so by itself "
         "and says so.",
         "--headless"},
        {B::bullet,
         "presses the control with that name (its accessibility identifier) once the window is "
         "up; may be given more than once, the presses following in order.",
         "--press NAME"},
        {B::bullet, "quits after N seconds.", "--run-seconds N"},
        {B::bullet, "writes a picture of the window to the file before quitting.", "--screenshot FILE.png"},
        {B::paragraph,
         "The ./run script of the source tree builds the player and runs it with these options; "
         "without a display it plays 30 seconds into build/artifacts/host-output.wav and writes "
         "build/artifacts/host.png.",
         {}},

        {B::heading, "7. Environment variables", {}},
        {B::bullet,
         "absolute folders, separated by colons, searched for components (folders named "
         "<Name>.appex) after the player's own PlugIns folder. Empty and relative entries are "
         "ignored.",
         "AUDIO_COMPONENT_PATH"},
        {B::bullet, "the documents folder, which holds the Presets folder.", "VYK_WIMBRAX_DOCUMENTS"},
        {B::bullet, "where the documents folder lies when VYK_WIMBRAX_DOCUMENTS is not set.", "XDG_DATA_HOME, HOME"},
        {B::bullet,
         "where the sound goes: \"null\" plays silently in real time; a path ending in .wav writes "
         "a WAV file. Unset, the player uses the sound card, or a WAV file when there is none.",
         "VYK_AUDIO_OUTPUT"},
        {B::bullet, "with neither set, the player runs headless.", "DISPLAY, WAYLAND_DISPLAY"},

        {B::heading, "8. Files of the player", {}},
        {B::paragraph,
         "The player keeps everything in one folder: bin holds the program, lib the shared "
         "library, PlugIns the effect (VYK-Wimbrax-Extension.appex, its module and its description "
         "file Info.plist) and Resources the loops 1.m4a to 80.m4a and this manual. The loops are "
         "short stereo phrases made for the effect: chords spread across the field, a pulse on one "
         "side only, a wide detuned pair, a bass in mono and noise in anti-phase, so that every "
         "control has something to act on.",
         {}},
    };
    return items;
}

} // namespace manual
