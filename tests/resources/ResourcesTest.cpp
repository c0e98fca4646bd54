#include "AacWriter.h"
#include "LoopSynth.h"
#include "TestEnvironment.h"
#include "avfoundation/AVAudioFile.h"
#include "avfoundation/AVAudioPCMBuffer.h"

#include <cairo.h>
#include <glib.h>
#include <poppler.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

const fs::path kResources = VYK_BUNDLE_RESOURCES;

#define SKIP_WITHOUT_RESOURCES()                                                                                       \
    if (!fs::exists(kResources / "manual.pdf"))                                                                        \
    GTEST_SKIP() << "the generated resources are made in the plain build tree only; none in " << kResources

// The normalised correlation of the decoded audio with what was written. AAC codes
// noise perceptually, so the waveforms differ; the tones and beats stay.
double correlation(const std::vector<float>& written, const std::vector<float>& decoded) {
    double cross = 0.0, a = 0.0, b = 0.0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        cross += double(written[i]) * decoded[i];
        a += double(written[i]) * written[i];
        b += double(decoded[i]) * decoded[i];
    }
    return cross / std::sqrt(a * b);
}

double energy(const std::vector<float>& samples, std::size_t from, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = from; i < from + count; ++i) sum += double(samples[i]) * samples[i];
    return sum;
}

// The whole file as the host reads it.
std::shared_ptr<const AVAudioPCMBuffer> decode(const fs::path& path) {
    const AVAudioFile file(URL::fileURL(path.string()));
    return file.converted(file.processingFormat());
}

double peakOf(const AVAudioPCMBuffer& buffer) {
    double peak = 0.0;
    for (AVAudioChannelCount c = 0; c < buffer.format().channelCount(); ++c)
        for (AVAudioFrameCount i = 0; i < buffer.frameLength(); ++i)
            peak = std::max(peak, double(std::fabs(buffer.floatChannelData()[c][i])));
    return peak;
}

double dBFS(double decibels) { return std::pow(10.0, decibels / 20.0); }

// The part of the energy in the side signal (L - R), from 0 (mono) to 1 (anti-phase).
double sideShare(const float* left, const float* right, std::size_t frames) {
    double mid = 0.0, side = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        mid += (double(left[i]) + right[i]) * (double(left[i]) + right[i]);
        side += (double(left[i]) - right[i]) * (double(left[i]) - right[i]);
    }
    return side / (mid + side);
}

} // namespace

TEST(Loops, AllEightyAreStereo48kOfTheirWrittenLengthAndAllDiffer) {
    SKIP_WITHOUT_RESOURCES();
    std::set<std::tuple<std::size_t, long, long>> fingerprints;
    for (int n = 1; n <= loops::kLoopCount; ++n) {
        SCOPED_TRACE("loop " + std::to_string(n));
        const fs::path path = kResources / (std::to_string(n) + ".m4a");
        const AVAudioFile file(URL::fileURL(path.string()));
        EXPECT_EQ(file.processingFormat(), AVAudioFormat(48000.0, 2));
        const auto buffer = file.converted(file.processingFormat());
        const loops::StereoLoop written = loops::synthesize(n);
        // Exactly the written length, so the loop repeats without a gap or a cut.
        ASSERT_EQ(buffer->frameLength(), written.left.size());
        const float* const* data = buffer->floatChannelData();
        const std::vector<float> channels[2] = {{data[0], data[0] + written.left.size()},
                                                {data[1], data[1] + written.left.size()}};
        const double seconds = double(written.left.size()) / 48000.0;
        EXPECT_GE(seconds, 1.5);
        EXPECT_LE(seconds, 4.0);
        // The decoded audio lines up with what was written: the encoder's priming is
        // removed at the start (the first beat starts at once) and nothing is cut at the end.
        // Measured against the whole loop's level, which the generator may have lowered.
        for (std::size_t ch = 0; ch < 2; ++ch) {
            const auto& reference = ch == 0 ? written.left : written.right;
            const auto& decoded = channels[ch];
            EXPECT_GT(correlation(reference, decoded), 0.5);
            const std::size_t n = reference.size();
            const double level = energy(decoded, 0, n) / energy(reference, 0, n);
            const double head = energy(decoded, 0, 512) / energy(reference, 0, 512) / level;
            const double tail = energy(decoded, n - 2048, 2048) / energy(reference, n - 2048, 2048) / level;
            EXPECT_GT(head, 0.5);
            EXPECT_LT(head, 2.0);
            EXPECT_GT(tail, 0.5);
            EXPECT_LT(tail, 2.0);
        }
        // The stereo image survives the encoder: the anti-phase hits stay anti-phase.
        const double share = sideShare(data[0], data[1], written.left.size()) /
                             sideShare(written.left.data(), written.right.data(), written.left.size());
        EXPECT_GT(share, 0.75);
        EXPECT_LT(share, 1.25);
        double power = 0.0, cross = 0.0;
        for (std::size_t i = 0; i < written.left.size(); ++i) {
            power += channels[0][i] * channels[0][i];
            cross += channels[0][i] * channels[1][i];
        }
        fingerprints.emplace(written.left.size(), std::lround(power * 1000), std::lround(cross * 1000));
    }
    EXPECT_EQ(fingerprints.size(), 80u);
}

TEST(Loops, DecodeWithTheirPeaksAtMostMinusOneDBFSAndTheirLevelKept) {
    SKIP_WITHOUT_RESOURCES();
    for (int n = 1; n <= loops::kLoopCount; ++n) {
        SCOPED_TRACE("loop " + std::to_string(n));
        const double peak = peakOf(*decode(kResources / (std::to_string(n) + ".m4a")));
        EXPECT_LE(peak, dBFS(-1.0));  // a sound card would clip the encoder's overshoot
        EXPECT_GE(peak, dBFS(-12.0)); // lowered to hold, not wrecked
    }
}

TEST(LoopWriter, ScalesALoopThatDecodesAboveTheCeilingUntilItHoldsAndKeepsItsLengthAndShape) {
    // Written at -3 dBFS, each of these decodes above -6 dBFS, so each must be scaled
    // down, some more than once.
    const vyk::test::TemporaryFolder folder;
    const double ceiling = dBFS(-6.0);
    for (int n : {4, 15, 39, 74}) {
        SCOPED_TRACE("loop " + std::to_string(n));
        const loops::StereoLoop written = loops::synthesize(n);
        const std::string path = folder / (std::to_string(n) + ".m4a");
        ASSERT_EQ(loops::writeAac(path, written.left, written.right, loops::kSampleRate, 128000, ceiling), "");
        const auto buffer = decode(path);
        EXPECT_LE(peakOf(*buffer), ceiling);
        EXPECT_GE(peakOf(*buffer), ceiling * dBFS(-4.0)); // lowered enough, not far more
        ASSERT_EQ(buffer->frameLength(), written.left.size());
        const float* const* data = buffer->floatChannelData();
        EXPECT_GT(correlation(written.left, {data[0], data[0] + written.left.size()}), 0.5);
        EXPECT_GT(correlation(written.right, {data[1], data[1] + written.right.size()}), 0.5);
    }
    // Only the files: no pass's temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 4);
}

TEST(Loops, EachCarriesTheStereoSituationsTheEffectWorksOn) {
    // Independent of the files: the synthesis itself, over the five kinds of loop.
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE("loop " + std::to_string(n));
        const loops::StereoLoop loop = loops::synthesize(n);
        double sum = 0, difference = 0, peak = 0;
        for (std::size_t i = 0; i < loop.left.size(); ++i) {
            sum += (loop.left[i] + loop.right[i]) * (loop.left[i] + loop.right[i]);
            difference += (loop.left[i] - loop.right[i]) * (loop.left[i] - loop.right[i]);
            peak = std::max({peak, double(std::fabs(loop.left[i])), double(std::fabs(loop.right[i]))});
        }
        EXPECT_NEAR(peak, 0.7079, 1e-4);   // -3 dBFS
        EXPECT_GT(difference, 0.05 * sum); // real side content, not near-mono
        EXPECT_GT(sum, 0.05 * difference); // and real mid content
    }
    EXPECT_EQ(loops::synthesize(7).left, loops::synthesize(7).left); // deterministic
}

TEST(Manual, HasItsPagesAndItsText) {
    SKIP_WITHOUT_RESOURCES();
    const fs::path path = kResources / "manual.pdf";
    GError* error = nullptr;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
    ASSERT_NE(uri, nullptr);
    PopplerDocument* document = poppler_document_new_from_file(uri, nullptr, &error);
    g_free(uri);
    ASSERT_NE(document, nullptr) << (error ? error->message : "");
    const int pages = poppler_document_get_n_pages(document);
    EXPECT_GE(pages, 4);
    EXPECT_LE(pages, 8);

    std::string text;
    for (int i = 0; i < pages; ++i) {
        PopplerPage* page = poppler_document_get_page(document, i);
        gchar* pageText = poppler_page_get_text(page);
        text += pageText;
        text += '\n';
        g_free(pageText);
        if (i < 2 && std::getenv("VYK_ARTIFACTS_DIR")) {
            double width = 0, height = 0;
            poppler_page_get_size(page, &width, &height);
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(width), int(height));
            cairo_t* cr = cairo_create(surface);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            poppler_page_render(page, cr);
            const std::string png =
                std::string(std::getenv("VYK_ARTIFACTS_DIR")) + "/manual-page" + std::to_string(i + 1) + ".png";
            EXPECT_EQ(cairo_surface_write_to_png(surface, png.c_str()), CAIRO_STATUS_SUCCESS);
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
        g_object_unref(page);
    }
    g_object_unref(document);

    for (const char* expected : {"What the effect does",
                                 "All-pass",
                                 "Multiband",
                                 "Split markers",
                                 "Stereo width",
                                 "Panorama",
                                 "Phase shift",
                                 "Swap",
                                 "Invert",
                                 "Recover",
                                 "Mono",
                                 "correlograph",
                                 "Unit",
                                 "Play",
                                 "Stop",
                                 "Help",
                                 "Info",
                                 "Presets",
                                 ".aupreset",
                                 "kGlobalParameters",
                                 "--headless",
                                 "--press NAME",
                                 "--run-seconds N",
                                 "--screenshot FILE.png",
                                 "AUDIO_COMPONENT_PATH",
                                 "VYK_WIMBRAX_DOCUMENTS",
                                 "XDG_DATA_HOME",
                                 "VYK_AUDIO_OUTPUT"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;

    // The named families resolved: a missing font package would embed a substitute.
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const char* font : {"DejaVuSerif", "DejaVuSans-Bold", "DejaVuSansMono"})
        EXPECT_NE(bytes.find(font), std::string::npos) << font;
}
