// The kernel's idle spectrum analyser: built once per kernel, never fed, and
// without any effect on the rendered output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "TestEnvironment.h"
#include "tests/dsp/KernelRig.h"

namespace {

// FNV-1a over the bit patterns of both channels.
uint64_t hash(const rig::Stereo& s) {
    uint64_t h = 1469598103934665603ull;
    for (const auto* channel : {&s.l, &s.r}) {
        for (float v : *channel) {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int b = 0; b < 4; b++) {
                h ^= (bits >> (8 * b)) & 0xFF;
                h *= 1099511628211ull;
            }
        }
    }
    return h;
}

// A second of noise through the full-band or three-band chain with widths and
// pans away from neutral and a reset halfway.
uint64_t render(bool threeBands) {
    rig::Host host(threeBands, 4096);
    for (int b = 0; b < rig::Kernel::kBands; b++) {
        host.adapter->setParameterEx(rig::Kernel::kStereoWidth0 + b, 0.2f + 0.15f * static_cast<float>(b));
        host.adapter->setParameterEx(rig::Kernel::kPanorama0 + b, 0.7f - 0.1f * static_cast<float>(b));
    }
    const rig::Stereo in = rig::noise(48000, 7);
    rig::Stereo out(in.size());
    for (std::size_t done = 0; done < in.size(); done += 500) {
        if (done == 24000) host.adapter->reset();
        host.render(in, out, done, static_cast<AUAudioFrameCount>(std::min<std::size_t>(500, in.size() - done)));
    }
    return hash(out);
}

} // namespace

TEST(KernelAnalyzer, EachKernelAnnouncesItsAnalyserOnce) {
    vyk::test::ConsoleCapture console;
    {
        auto adapter = rig::Adapter::make();
        adapter->allocateRenderResources();
        adapter->reset();
    }
    const std::string printed = console.text();
    EXPECT_EQ(console.lines().size(), 1u);
    EXPECT_EQ(printed.rfind("DIAGNOSTICS: FFT Analyzer loaded. [ 0x", 0), 0u);
    EXPECT_EQ(printed.substr(printed.size() - 3), " ]\n");
}

TEST(KernelAnalyzer, RenderedOutputIsUnchanged) {
    vyk::test::ConsoleCapture quiet;
    // Renders of the kernel as it was before it held an analyser. A deliberate
    // change of the signal chain changes them; the analyser must never.
    EXPECT_EQ(render(false), 10310168472821600795ull);
    EXPECT_EQ(render(true), 15609882919962896609ull);
}
