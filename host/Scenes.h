#pragma once
// The host's two scenes, built in code: "Main" (the window's controller with
// its plug-in view, the unit, play, stop, help and info buttons and the segues
// "ShowHelp" and "ShowInfo") and "Help" (the web view and the exit button).
// Controls carry accessibility identifiers for automation: unit, play, stop,
// help, info and exit.
// Thread rules: main thread.
namespace host {

// The main window's size in points: the panel at its own size under the button bar.
constexpr double kWindowWidth = 680, kWindowHeight = 648, kBarHeight = 48;

// Registers both scenes (replacing scenes of the same names).
void registerScenes();

} // namespace host
