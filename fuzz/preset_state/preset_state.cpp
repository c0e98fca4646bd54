// Feeds arbitrary bytes to the preset and state reader, then applies what it found to a
// model of the kernel's split points in the unit's order. Whatever the bytes: no crash,
// only finite values, and the last split pair found, when ordered, is restored exactly.
#include "audiounit/PresetApplyOrder.h"
#include "audiounit/VYKPreset.h"
#include "foundation/Console.h"
#include "foundation/RunLoop.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = Console::setSink([](std::string_view) {});
    (void)quiet;
    VYKPreset preset;
    const bool read = preset.read(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
    RunLoop::main().runUntilIdle(); // the failure lines wait on the main queue
    if (!read) return 0;

    float split1 = 0.25f, split2 = 0.75f;
    const float* want1 = nullptr;
    const float* want2 = nullptr;
    const auto ordered = presetApplyOrder(preset.foundParameters(), split2);
    for (const auto& p : ordered) {
        if (!std::isfinite(p.value)) std::abort();
        if (p.address == 3) split1 = std::min(std::max(p.value, 0.0f), split2);
        if (p.address == 4) split2 = std::min(std::max(p.value, split1), 1.0f);
    }
    for (const auto& p : preset.foundParameters()) { // file order: the last one stays
        if (p.address == 3) want1 = &p.value;
        if (p.address == 4) want2 = &p.value;
    }
    if (want1 && want2 && 0.0f <= *want1 && *want1 <= *want2 && *want2 <= 1.0f &&
        (split1 != *want1 || split2 != *want2))
        std::abort();
    (void)preset.getDictionary();
    return 0;
}
