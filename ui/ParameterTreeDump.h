#pragma once
// The diagnostic dump of a parameter tree that the controller prints when it
// connects to its unit: per parameter its address, name, value, option flags with
// their names, range, unit kind, unit name and value strings, each line indented
// by `level` tabs. Lines go to the console.
// Thread rules: any thread except the render thread.
#include "audiotoolbox/AUParameterTree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ParameterTreeDump {
// Walks a group: every child group prints (and appends to `found`) all the
// parameters of its subtree at level + 1, then is walked itself; parameters placed
// directly in the walked group are skipped. A null group prints one line.
void extractParameters(const std::string& name, const AUParameterGroup* tree, std::int64_t level,
                       std::vector<std::shared_ptr<AUParameter>>& found);
void printParameter(const AUParameter& parameter, std::int64_t level);
void verboseFlags(AudioUnitParameterOptions flags, std::int64_t level);
std::string verboseParameterKind(AudioUnitParameterUnit kind);
} // namespace ParameterTreeDump
