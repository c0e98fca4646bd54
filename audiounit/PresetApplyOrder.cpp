#include "audiounit/PresetApplyOrder.h"

#include "dsp/ParamMetadata.h"

#include <algorithm>

std::vector<VYKPreset::FoundParameter> presetApplyOrder(std::vector<VYKPreset::FoundParameter> found,
                                                        AUValue currentSplit2) {
    using vyk::param::kSplit1, vyk::param::kSplit2;
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.address < b.address; });
    auto from = [&](AUParameterAddress address) {
        return std::find_if(found.begin(), found.end(), [address](const auto& p) { return p.address >= address; });
    };
    const auto split1 = from(kSplit1), split2 = from(kSplit2), beyond = from(kSplit2 + 1);
    // The last split 1 entry is the one that stays.
    if (split1 != split2 && (split2 - 1)->value > currentSplit2) std::rotate(split1, split2, beyond);
    return found;
}
