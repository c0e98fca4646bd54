// VYK-Wimbrax: finds the effect, plays loops through it and shows its panel.
#include "avfoundation/AudioOutputChoice.h"
#include "foundation/Console.h"
#include "foundation/Shutdown.h"
#include "host/AppDelegate.h"
#include "host/Scenes.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* const kUsage =
    "Usage: VYK-Wimbrax [--headless] [--press NAME]... [--run-seconds N] [--screenshot FILE.png]\n"
    "  --headless          no window: the scene is drawn offscreen\n"
    "  --press NAME        presses a visible control once the window has settled\n"
    "                      (the effect connected or its search over), in order:\n"
    "                      unit, play, stop, help, info, exit\n"
    "  --run-seconds N     quits after N seconds\n"
    "  --screenshot FILE   writes the window as a PNG file when quitting\n"
    "Environment:\n"
    "  VYK_AUDIO_OUTPUT          'null' (silent, paced) or a path ending in .wav\n"
    "  VYK_WIMBRAX_FALLBACK_WAV  where the audio goes when there is no sound card\n"
    "                            (default: VYK-Wimbrax-output.wav in the working folder)\n"
    "  VYK_WIMBRAX_DOCUMENTS     the documents folder (presets in its Presets folder)\n"
    "  AUDIO_COMPONENT_PATH      more folders to search for effect modules\n";

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Console::write(kUsage);
            return 0;
        }
    const char* fallback = std::getenv("VYK_WIMBRAX_FALLBACK_WAV");
    avf::setFallbackWavFile(fallback && *fallback ? fallback : "VYK-Wimbrax-output.wav");
    host::registerScenes();
    UIApplication::registerDelegateClass("AppDelegate", [] { return std::make_shared<AppDelegate>(); });
    UIApplication::shared().windowTitle = "VYK-Wimbrax";
    UIApplication::shared().windowSize = CGSize{host::kWindowWidth, host::kWindowHeight};
    const int status = UIApplicationMain(argc, argv, nullptr, "AppDelegate");
    // The engine stopped with the window's controller; the workers end here, before
    // static destruction.
    Foundation::shutdown();
    return status;
}
