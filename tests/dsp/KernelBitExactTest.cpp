// The kernel's output, peaks and snapshots, hashed over a table of runs. The expected
// hashes were recorded once from the straightforward kernel; every faster path must
// reproduce them bit for bit. Never re-record them to make a change pass.
#include "KernelRig.h"
#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

using namespace rig;

enum class Input { Noise, Silent, Loud, NonFinite, Mixed };

struct Lcg {
    std::uint32_t s;
    std::uint32_t next() { return s = s * 1664525u + 1013904223u; }
    float unit() { return float(next() >> 8) / 16777216.0f; } // 0..1
};

Stereo source(Input kind, std::size_t n, std::uint32_t seed) {
    Stereo s = noise(n, seed);
    for (std::size_t i = 0; i < n; ++i) {
        // Mixed: 1500-frame stretches of noise, silence, loud and non-finite input.
        const Input k = kind == Input::Mixed ? Input(i / 1500 % 4) : kind;
        for (float* x : {&s.l[i], &s.r[i]}) {
            if (k == Input::Silent) *x = 0.0f;
            if (k == Input::Loud) *x = *x < 0 ? -1e30f : 1e30f;
        }
        if (k == Input::NonFinite && i % 37 == 5) s.l[i] = std::numeric_limits<float>::quiet_NaN();
        if (k == Input::NonFinite && i % 53 == 7) s.r[i] = -std::numeric_limits<float>::infinity();
        if (k == Input::NonFinite && i % 71 == 3) s.l[i] = std::numeric_limits<float>::infinity();
    }
    return s;
}

// FNV-1a over 32-bit words. Every NaN counts as one value: its payload and sign depend
// on the operand order the compiler picks for commutative operations.
struct Hash {
    std::uint64_t h = 1469598103934665603ull;
    void word(std::uint32_t w) {
        for (int b = 0; b < 4; ++b) h = (h ^ ((w >> (8 * b)) & 0xff)) * 1099511628211ull;
    }
    void add(float x) { word(std::isnan(x) ? 0x7fc00000u : std::bit_cast<std::uint32_t>(x)); }
    void add(const float* x, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) add(x[i]);
    }
};

// Per band (0 full band, 1 to 3 the split bands), bit 0 invert, 1 swap, 2 mono recovery,
// 3 mono audition, 4 width off neutral, 5 panorama off neutral, 6 band off (bands 1-3).
void applyCombination(Host& host, int band, int bits) {
    auto set = [&](AUParameterAddress first, float v) { host.adapter->setParameterEx(std::int32_t(first) + band, v); };
    set(Kernel::kInvertChannel0, float(bits & 1));
    set(Kernel::kSwapChannels0, float(bits >> 1 & 1));
    set(Kernel::kRecoverMono0, float(bits >> 2 & 1));
    set(Kernel::kTestMono0, float(bits >> 3 & 1));
    // Both signs of the width and panorama adjustments, depending on the band.
    set(Kernel::kStereoWidth0, bits & 16 ? (band % 2 ? 0.15f : 0.85f) : 0.5f);
    set(Kernel::kPanorama0, bits & 32 ? (band % 2 ? 0.9f : 0.3f) : 0.5f);
    if (band == 0) return;
    host.adapter->setParameterEx(std::int32_t(Kernel::kActive1) + band - 1, bits & 64 ? 0.f : 1.f);
    host.adapter->setParameterEx(std::int32_t(Kernel::kVolume1) + band - 1, 0.3f + 0.2f * band);
}

// Renders `in` in blocks of `block`; with `events`, in blocks of random sizes with random
// in-range parameter events inside them, mode changes and bypass toggles. Hashes all the
// host and the display can see after each call.
void render(Host& host, const Stereo& in, std::uint32_t block, Hash& hash, bool events = false,
            std::uint32_t seed = 1) {
    Stereo out(in.size());
    Lcg rng{seed};
    std::vector<AURenderEvent> list;
    for (std::size_t done = 0; done < in.size();) {
        static constexpr std::uint32_t kSizes[] = {1, 64, 100, 512, 1024, 4096, 10000};
        const std::uint32_t size = events ? kSizes[rng.next() % 7] : block;
        const auto n = AUAudioFrameCount(std::min<std::size_t>(size, in.size() - done));
        list.clear();
        if (events) {
            if (rng.next() % 8 == 0) host.adapter->setBypass(rng.next() % 2 == 0);
            for (std::uint32_t e = rng.next() % 4; e > 0; --e) {
                const auto at = AUEventSampleTime(host.sampleTime + rng.next() % (n + 3)) - 2;
                AUParameterAddress a = rng.next() % 42;
                if (a >= Kernel::kBypass1 && a < Kernel::kVolume1) a = Kernel::kCurrentMode;
                float v = rng.unit();
                if (a == Kernel::kCurrentMode) v = float(rng.next() % 4);
                if ((a >= Kernel::kActive1 && a < Kernel::kBypass1) || a >= Kernel::kSwapChannels0)
                    v = float(rng.next() % 2);
                list.push_back(parameterEvent(at, a, v));
            }
            std::sort(list.begin(), list.end(), [](const AURenderEvent& x, const AURenderEvent& y) {
                return x.head.eventSampleTime < y.head.eventSampleTime;
            });
        }
        {
            vyk::test::RenderGuard guard;
            ASSERT_EQ(host.render(in, out, done, n, link(list)), noErr);
            if (vyk::test::RenderGuard::active()) {
                ASSERT_EQ(guard.violations(), 0) << "the render path allocated or locked";
            }
        }
        hash.add(out.l.data() + done, n);
        hash.add(out.r.data() + done, n);
        hash.add(host.adapter->getPeakInput());
        hash.add(host.adapter->getPeakOutput());
        for (int b = 0; b < 4; ++b) {
            if (!host.adapter->isNewBuffer(b)) continue;
            hash.word(std::uint32_t(b));
            hash.add(host.adapter->getBufferLeft(b), 1024);
            hash.add(host.adapter->getBufferRight(b), 1024);
        }
        done += n;
    }
}

std::uint64_t blocksRun(bool threeBands, std::uint32_t block, bool switches) {
    Hash hash;
    Host host(threeBands, 10000);
    for (int b = 0; b < 4; ++b) applyCombination(host, b, switches ? 63 : 0);
    render(host, source(Input::Noise, 12000, 7), block, hash);
    return hash.h;
}

TEST(KernelBitExact, BlockSizesInBothModesWithDefaultsAndEverySwitchOn) {
    // Blocks of 1, 64, 100, 512, 1024, 4096 and 10000 frames.
    const std::uint64_t expected[28] = {
        // full band, defaults
        12208322171134183209ull,
        10913844794690667482ull,
        1574274029183255489ull,
        14819505099741824115ull,
        11707235617959978134ull,
        5532799654355959788ull,
        797943876001318338ull,
        // full band, every switch on
        9152921205417432645ull,
        9867956424370125843ull,
        5143403106565871770ull,
        17125938268818321881ull,
        2570493743393475832ull,
        6481950070102586065ull,
        12298817456983189881ull,
        // three bands, defaults
        10470193793021126494ull,
        1091450464290934715ull,
        7057291099115459257ull,
        6102338543904083856ull,
        8402604871072485413ull,
        15646945452063514298ull,
        8974797194378073496ull,
        // three bands, every switch on
        5776261126030765811ull,
        629452649533305926ull,
        6049322673981176226ull,
        17119033206444343389ull,
        12948080721803385130ull,
        15534005658181136025ull,
        16482581056897251700ull,
    };
    int i = 0;
    for (bool three : {false, true})
        for (bool switches : {false, true})
            for (std::uint32_t block : {1u, 64u, 100u, 512u, 1024u, 4096u, 10000u}) {
                const std::uint64_t h = blocksRun(three, block, switches);
                EXPECT_EQ(h, expected[i++]) << "three " << three << " switches " << switches << " block " << block;
            }
}

TEST(KernelBitExact, EverySwitchCombinationPerBand) {
    Hash hash;
    for (bool three : {false, true})
        for (int combination = 0; combination < 128; ++combination) {
            Host host(three, 10000);
            for (int b = 0; b < 4; ++b) applyCombination(host, b, (combination + 37 * b) % 128);
            render(host, source(Input::Noise, 2500, std::uint32_t(combination) + 11), 500, hash);
        }
    EXPECT_EQ(hash.h, 7062895612700478157ull);
}

TEST(KernelBitExact, InputsEventsBypassAndModeToggles) {
    const Input inputs[] = {Input::Silent, Input::Loud, Input::NonFinite, Input::Mixed};
    const std::uint64_t expected[] = {952862725620805379ull, 4115928304819748435ull, 8860083786958283733ull,
                                      8633351213793905925ull};
    for (int c = 0; c < 4; ++c) {
        const bool events = c == 3; // mixed input, with events
        Hash hash;
        for (bool three : {false, true}) {
            Host host(three, 10000);
            for (int b = 0; b < 4; ++b) applyCombination(host, b, events ? 0 : 63);
            for (std::uint32_t seed = 1; seed <= (events ? 4u : 1u); ++seed)
                render(host, source(inputs[c], events ? 12000 : 5000, seed), 512, hash, events, seed);
        }
        EXPECT_EQ(hash.h, expected[c]) << "input " << c;
    }
}

} // namespace
