#include "dsp/BandTools.h"

#include <array>
#include <utility>

namespace {

template <bool Invert, bool Swap, bool Recover>
void channelPass(float* __restrict left, float* __restrict right, int64_t frames, double amount) {
    for (int64_t i = 0; i < frames; ++i) {
        float l = left[i], r = right[i];
        if (Invert) l = l * -1.0f;
        if (Swap) std::swap(l, r);
        if (Recover) {
            const float d = static_cast<float>(static_cast<double>(l - r) * 0.5 * amount);
            l = l + d;
            r = r + d;
        }
        left[i] = l;
        right[i] = r;
    }
}

struct Image {
    float width, narrow, keep, pan;
};

// Width: 0 none, 1 narrowing (negative), 2 widening; Pan: 0 centre, 1 left, 2 right.
template <int Width, int Pan, bool Mono>
void imagePass(float* __restrict left, float* __restrict right, int64_t frames, Image c) {
    for (int64_t i = 0; i < frames; ++i) {
        float l = left[i], r = right[i];
        if (Width == 1) {
            const float m = (l + r) * 0.5f * c.narrow;
            l = m + l * c.keep;
            r = m + r * c.keep;
        } else if (Width == 2) {
            const float s = (l - r) * 0.5f;
            l = l + s * c.width;
            r = r + (-s) * c.width;
        }
        if (Pan == 1) {
            l = l + r * (-c.pan);
            l = l * (1 + c.pan * 0.4f);
            r = r * (1 + c.pan);
        } else if (Pan == 2) {
            r = r + l * c.pan;
            r = r * (1 - c.pan * 0.4f);
            l = l * (1 - c.pan);
        }
        if (Mono) {
            const float m = (l + r) * 0.5f;
            l = m;
            r = m;
        }
        left[i] = l;
        right[i] = r;
    }
}

using ChannelPass = void (*)(float*, float*, int64_t, double);
using ImagePass = void (*)(float*, float*, int64_t, Image);

template <std::size_t... K>
constexpr std::array<ChannelPass, sizeof...(K)> channelPasses(std::index_sequence<K...>) {
    return {&channelPass<(K & 1) != 0, (K & 2) != 0, (K & 4) != 0>...};
}

template <std::size_t... K>
constexpr std::array<ImagePass, sizeof...(K)> imagePasses(std::index_sequence<K...>) {
    return {&imagePass<int(K % 3), int(K / 3 % 3), (K / 9) != 0>...};
}

constexpr auto kChannelPasses = channelPasses(std::make_index_sequence<8>());
constexpr auto kImagePasses = imagePasses(std::make_index_sequence<18>());

} // namespace

void channelTools(float* left, float* right, int64_t frames, bool invert, bool swap, bool recoverMono,
                  float recoverAmount) {
    const int k = int(invert) | int(swap) << 1 | int(recoverMono) << 2;
    if (k != 0) kChannelPasses[std::size_t(k)](left, right, frames, recoverAmount);
}

void imageTools(float* left, float* right, int64_t frames, float width, float pan, bool testMono) {
    // As StereoProcessor: |width| for narrowing; as Panpot: nothing at exactly 0.
    const int w = width < 0 ? 1 : width > 0 ? 2 : 0;
    const int p = pan < 0 ? 1 : pan > 0 ? 2 : 0;
    const int k = w + 3 * p + 9 * int(testMono);
    const float narrow = width >= 0 ? width : -width;
    if (k != 0) kImagePasses[std::size_t(k)](left, right, frames, Image{width, narrow, 1 - narrow, pan});
}
