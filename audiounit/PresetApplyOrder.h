#pragma once
// The order in which the unit applies the parameters of a preset or state: by address,
// except that split 2 goes before split 1 when split 1 must move beyond the current
// split 2 (the kernel stops split 1 at split 2). Any pair with split 1 <= split 2 is then
// restored exactly, whatever the current pair. A pure function.
#include "audiounit/VYKPreset.h"

#include <vector>

std::vector<VYKPreset::FoundParameter> presetApplyOrder(std::vector<VYKPreset::FoundParameter> found,
                                                        AUValue currentSplit2);
