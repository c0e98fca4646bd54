// Property lists: write and read a full preset (one group of 47 parameters).
#include "foundation/FileManager.h"
#include "foundation/PropertyList.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

plist::Value preset() {
    plist::Dictionary group;
    group.set("identifier", plist::Value("kGlobalParameters"));
    group.set("count", plist::Value(47));
    for (int i = 0; i < 47; ++i) {
        plist::Dictionary param;
        param.set("address", plist::Value(i));
        param.set("identifier", plist::Value("kParameter" + std::to_string(i)));
        param.set("value", plist::Value(static_cast<double>(0.1f * static_cast<float>(i % 10))));
        group.set("param " + std::to_string(i), plist::Value(std::move(param)));
    }
    plist::Dictionary patch;
    patch.set("version", plist::Value(1));
    patch.set("type", plist::Value(1635085670));
    patch.set("manufacturer", plist::Value(1179405906));
    patch.set("subtype", plist::Value(1986754402));
    patch.set("number", plist::Value(0));
    patch.set("name", plist::Value("Preset"));
    patch.set("data", plist::Value(plist::Data{}));
    patch.set("count", plist::Value(1));
    patch.set("group 0", plist::Value(std::move(group)));
    patch.set("link", plist::Value(""));
    return plist::Value(std::move(patch));
}

void writePreset(benchmark::State& state) {
    const plist::Value value = preset();
    for (auto _ : state) {
        auto xml = plist::writeXML(value);
        benchmark::DoNotOptimize(xml);
    }
}
BENCHMARK(writePreset)->Unit(benchmark::kMicrosecond);

void readPreset(benchmark::State& state) {
    const auto xml = plist::writeXML(preset());
    if (!xml) std::abort();
    state.counters["bytes"] = static_cast<double>(xml->size());
    for (auto _ : state) {
        auto r = plist::readXML(*xml);
        if (!r) std::abort();
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(readPreset)->Unit(benchmark::kMicrosecond);

// What loading a preset costs: the safe whole-file read and the parse.
void loadPresetFile(benchmark::State& state) {
    char folder[] = "/tmp/vyk-bench-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    const std::string path = std::string(folder) + "/Preset.aupreset";
    const auto xml = plist::writeXML(preset());
    if (!xml || !FileManager::defaultManager().writeAtomically(path, *xml)) std::abort();
    for (auto _ : state) {
        auto bytes = FileManager::defaultManager().contents(path, 4 << 20);
        if (!bytes) std::abort();
        auto r = plist::read(*bytes);
        if (!r) std::abort();
        benchmark::DoNotOptimize(r);
    }
    std::remove(path.c_str());
    rmdir(folder);
}
BENCHMARK(loadPresetFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
