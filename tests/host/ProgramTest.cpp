// The program itself, headless, from the build tree and from an installed prefix:
// its lines, the WAV it played into and the picture of its window.
#include "HostRig.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>
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
}
