#pragma once
// The band splitter's inner loop (see BandSplitFilter3::splitWith); not used elsewhere.
#include <algorithm>
#include <cstdint>

// The four filters, one stage step per frame, with the low-pass lanes two frames
// behind the high-pass ones: frame t feeds the input of frame t to the high-pass
// lanes and the high-pass remainder of frame t - 2 to the low-pass lanes. Each lane
// runs SVFilter4Pole1::step on its own state in its own order, so the result is that
// of four separate filters; the lag only moves the hand-over from one filter to the
// next off the recursion's critical path (with one frame it stays on it).
struct LanePackedSplit {
    // Four float lanes: the high-pass filters of the left and right channels, then the
    // low-pass filters. GCC and Clang vector extensions: SSE2 on x86-64, NEON on ARM, and
    // lane by lane in scalar code elsewhere; every lane gets the IEEE operations of the
    // scalar filter step, so all targets give the same bits.
    typedef float Lanes __attribute__((vector_size(16)));
    typedef std::int32_t Mask __attribute__((vector_size(16)));

    static Lanes select(Mask m, Lanes yes, Lanes no) {
        return reinterpret_cast<Lanes>((reinterpret_cast<Mask>(yes) & m) | (reinterpret_cast<Mask>(no) & ~m));
    }

    Lanes cf, cq, gain, band, low;
    Mask highLanes = {-1, -1, 0, 0};
    Lanes rest1 = {}, rest2 = {}; // lanes 0, 1: the remainders of frames t - 1, t - 2
    const float* inL;
    const float* inR;
    float *hpL, *hpR, *bpL, *bpR, *lpL, *lpR;

    // One frame t; lanes outside `active` keep their state and store nothing. Once
    // the high-pass lanes have read input frame t, each(t) runs (and may overwrite it).
    template <bool All, typename EachFrame>
    void frame(int t, Mask active, EachFrame& each) {
        const bool high = All || active[0], lowPass = All || active[2];
        const Lanes x = {high ? inL[t] : 0.0f, high ? inR[t] : 0.0f, rest2[0], rest2[1]};
        const Lanes h = 0.5f * x;
        const Lanes lo = low + cf * band;
        const Lanes hi = h - lo - cq * band;
        const Lanes nextBand = cf * hi + band;
        const Lanes y = select(highLanes, hi, lo) * gain;
        // High-pass lanes: the remainder x - y; low-pass lanes: the middle band.
        const Lanes d = x - y;
        if constexpr (All) {
            band = nextBand;
            low = lo;
        } else {
            band = select(active, nextBand, band);
            low = select(active, lo, low);
        }
        if (high) {
            hpL[t] = y[0];
            hpR[t] = y[1];
            each(t);
        }
        if (lowPass) {
            lpL[t - 2] = y[2];
            lpR[t - 2] = y[3];
            bpL[t - 2] = d[2];
            bpR[t - 2] = d[3];
        }
        rest2 = rest1;
        rest1 = d;
    }

    // Frames 0 and 1 start the high-pass lanes alone, frames m and m + 1 finish the
    // low-pass lanes alone.
    template <typename EachFrame>
    void run(int m, EachFrame& each) {
        const int head = std::min(m, 2);
        for (int t = 0; t < head; ++t) frame<false>(t, Mask{-1, -1, 0, 0}, each);
        for (int t = 2; t < m; ++t) frame<true>(t, Mask{}, each);
        for (int t = std::max(m, head); t < m + 2; ++t) frame<false>(t, Mask{0, 0, -(t >= 2), -(t >= 2)}, each);
    }
};
