#include "avfoundation/AudioOutputChoice.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/PacedOutputSink.h"
#include "avfoundation/SDLOutputSink.h"
#include "avfoundation/WavFileOutputSink.h"
#include "foundation/Console.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace avf {
namespace {

std::mutex mutex;
std::string requestedWav;
std::string fallbackWav = "output.wav";

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::shared_ptr<AudioOutputSink> wavFile(const std::string& path) { return std::make_shared<WavFileOutputSink>(path); }

} // namespace

void setRequestedWavFile(std::string path) {
    std::lock_guard lock(mutex);
    requestedWav = std::move(path);
}

void setFallbackWavFile(std::string path) {
    std::lock_guard lock(mutex);
    fallbackWav = std::move(path);
}

bool soundServerOrDeviceExists() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != '\0') return true;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
        for (const char* socket : {"pulse/native", "pipewire-0"})
            if (fs::exists(fs::path(runtime) / socket, ignored)) return true;
    }
    // An ALSA playback device: /dev/snd/pcmC<card>D<device>p.
    for (const auto& entry : fs::directory_iterator("/dev/snd", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("pcmC", 0) == 0 && endsWith(name, "p")) return true;
    }
    return false;
}

std::shared_ptr<AudioOutputSink> makeDefaultOutputSink() {
    std::string requested, fallback;
    {
        std::lock_guard lock(mutex);
        requested = requestedWav;
        fallback = fallbackWav;
    }
    if (const char* choice = std::getenv("VYK_AUDIO_OUTPUT"); choice != nullptr && *choice != '\0') {
        const std::string value = choice;
        if (value == "null") return std::make_shared<NullOutputSink>();
        if (endsWith(value, ".wav")) return wavFile(value);
        Console::write("AVAudioEngine: VYK_AUDIO_OUTPUT must be 'null' or a path ending in '.wav', not '" + value +
                       "'; it is ignored.\n");
    }
    if (!requested.empty()) return wavFile(requested);
    if (soundServerOrDeviceExists()) {
        try {
            return std::make_shared<SDLOutputSink>();
        } catch (const AVAudioError& e) {
            Console::write("AVAudioEngine: " + e.localizedDescription() + "\n");
        }
    }
    Console::write("AVAudioEngine: No sound card found; playing into '" + fallback + "' (at most 5 minutes).\n");
    return wavFile(fallback);
}

} // namespace avf
