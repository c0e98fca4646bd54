// The program itself, headless, from the build tree and from an installed prefix:
// its lines and their order, the WAV it played into and the picture of its window.
#include "HostRig.h"
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "avfoundation/AudioOutputSink.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using host::test::shellOutput;

namespace {

// The samples of our 32-bit float stereo WAV (its 44-byte header).
std::vector<float> wavSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 44 || std::memcmp(bytes.data() + 36, "data", 4) != 0) return {};
    std::vector<float> samples((bytes.size() - 44) / sizeof(float));
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * sizeof(float));
    return samples;
}

// Headless for three seconds with the panel shown and playback started.
void checkRun(const std::string& program, const std::string& bundle) {
    media::TempFolder out;
    const std::string wav = out.file("played.wav"), png = out.file("window.png");
    const std::string lines =
        shellOutput("env -u AUDIO_COMPONENT_PATH VYK_AUDIO_OUTPUT='" + wav + "' '" + program +
                    "' --headless --press unit --press play --run-seconds 3 --screenshot '" + png + "'");
    for (const std::string& line :
         {"ViewController: The app's resources path is: " + bundle + "/Resources",
          std::string("AUExtensionManager: Performed audio unit connection."),
          std::string("AUEnginePlayer: Audio engine starting."), "UIApplication: screenshot written to " + png})
        EXPECT_NE(lines.find(line + "\n"), std::string::npos) << line << "\n" << lines;
    EXPECT_EQ(lines.find("exit status"), std::string::npos) << lines;

    // The presses come as a user's clicks once the window has settled: the effect is
    // connected and its panel embedded before the play button's first line.
    const std::size_t connected = lines.find("AUExtensionManager: Performed audio unit connection.\n"),
                      embedded = lines.find("AU Diagnostics: Connected parameters to the plugins interface.\n"),
                      played = lines.find("AUEnginePlayer: Audio file at '");
    EXPECT_LT(connected, embedded) << lines;
    EXPECT_LT(embedded, played) << lines;
    EXPECT_NE(played, std::string::npos) << lines;

    // Nearly three seconds of stereo, finite and well above silence.
    const std::vector<float> samples = wavSamples(wav);
    const double seconds = double(samples.size()) / 2 / 48000;
    EXPECT_GT(seconds, 2.0);
    EXPECT_LT(seconds, 3.5);
    double sum = 0;
    for (float x : samples) {
        ASSERT_TRUE(std::isfinite(x));
        sum += double(x) * x;
    }
    EXPECT_GT(10 * std::log10(sum / double(std::max<std::size_t>(samples.size(), 1))), -40.0);

    // Through the effect from the first frame: its latency's silence (and at most one
    // cycle rendered before the player starts), then sound without a gap. An effect
    // wired in while the loop plays starts its latency over: a gap of that length.
    const std::size_t frames = samples.size() / 2;
    const auto silent = [&samples](std::size_t i) { return samples[2 * i] == 0 && samples[2 * i + 1] == 0; };
    std::size_t first = 0;
    while (first < frames && silent(first)) ++first;
    EXPECT_LE(first, std::size_t(VYK_Wimbrax_Extension_AudioUnit::latencyFrames) + avf::kOutputCycleFrames);
    std::size_t run = 0, longest = 0;
    for (std::size_t i = first; i < frames; ++i) longest = std::max(longest, run = silent(i) ? run + 1 : 0);
    EXPECT_LT(longest, avf::kOutputCycleFrames / 2) << "silent frames in a row after the sound began";

    // The window at its size, the panel drawn over most of the plug-in area.
    cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(image), int(host::kWindowWidth));
    EXPECT_EQ(cairo_image_surface_get_height(image), int(host::kWindowHeight));
    const auto* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const std::uint32_t background = *reinterpret_cast<const std::uint32_t*>(data + stride * 4 + 4 * 340);
    int covered = 0, total = 0;
    for (int y = int(host::kBarHeight) + 2; y < int(host::kWindowHeight); y += 8)
        for (int x = 0; x < int(host::kWindowWidth); x += 8, ++total)
            covered += *reinterpret_cast<const std::uint32_t*>(data + stride * y + 4 * x) != background;
    EXPECT_GT(covered, total / 2);
    cairo_surface_destroy(image);
}

} // namespace

TEST(HostProgram, RunsHeadlessFromTheBuildTreeAndFromAnInstalledPrefix) {
    checkRun(VYK_HOST_PROGRAM, VYK_BUNDLE_DIR);

    media::TempFolder prefix;
    const std::string install = shellOutput(std::string("'") + VYK_CMAKE_COMMAND + "' --install '" + VYK_BUILD_DIR +
                                            "' --prefix '" + prefix.path() + "'");
    ASSERT_EQ(install.find("exit status"), std::string::npos) << install;
    checkRun(prefix.file("VYK-Wimbrax/bin/VYK-Wimbrax"), prefix.file("VYK-Wimbrax"));

    // Without the effect the presses come once its search is over, and the loop plays
    // as it is.
    std::filesystem::remove_all(prefix.file("VYK-Wimbrax/PlugIns"));
    const std::string lines =
        shellOutput("env -u AUDIO_COMPONENT_PATH VYK_AUDIO_OUTPUT=null '" + prefix.file("VYK-Wimbrax/bin/VYK-Wimbrax") +
                    "' --headless --press play --run-seconds 2");
    const std::size_t over = lines.find("ERROR: There were no audio units found.\n"),
                      played = lines.find("AUEnginePlayer: The player was connected to the mainMixerNode.\n");
    EXPECT_LT(over, played) << lines;
    EXPECT_NE(played, std::string::npos) << lines;
    EXPECT_EQ(lines.find("settled"), std::string::npos) << lines;
}
