#include "ui/ParameterTreeDump.h"

#include "foundation/Console.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

void println(const std::string& line) { Console::write(line + "\n"); }

std::string tabs(std::int64_t level) {
    return std::string(static_cast<std::size_t>(std::max<std::int64_t>(level, 0)), '\t');
}

// The shortest text that reads back as the same float, with a digit after the point;
// exponent form for very small and very large magnitudes.
std::string floatText(float v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char buffer[64];
    const float a = std::fabs(v);
    const bool exponent = a != 0 && (a < 1e-4f || a >= 16777216.0f);
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v,
                                   exponent ? std::chars_format::scientific : std::chars_format::fixed)
                         .ptr;
    std::string text(buffer, end);
    if (!exponent && text.find('.') == std::string::npos) text += ".0";
    return text;
}

std::string listText(const std::optional<std::vector<std::string>>& strings) {
    std::string text = "[";
    if (strings) {
        for (std::size_t i = 0; i < strings->size(); ++i) text += (i ? ", \"" : "\"") + (*strings)[i] + "\"";
    }
    return text + "]";
}

struct Flag {
    AudioUnitParameterOptions mask;
    const char* text;
};

constexpr Flag kFlags[] = {
    {0x10, " - flag_CFNameRelease"},          {0x2000, " - flag_OmitFromPresets"},
    {0x4000, " - flag_PlotHistory"},          {0x8000, " - flag_MeterReadOnly"},
    {0x470000, " - flag_DisplayMask"},        {0x10000, " - flag_DisplaySquareRoot"},
    {0x20000, " - flag_DisplaySquared"},      {0x30000, " - flag_DisplayCubed"},
    {0x40000, " - flag_DisplayCubeRoot"},     {0x50000, " - flag_DisplayExponential"},
    {0x100000, " - flag_HasClump"},           {0x200000, " - flag_ValuesHaveStrings"},
    {0x400000, " - flag_DisplayLogarithmic"}, {0x800000, " - flag_IsHighResolution"},
    {0x1000000, " - flag_NonRealTime"},       {0x2000000, " - flag_CanRamp"},
    {0x4000000, " - flag_ExpertMode"},        {0x8000000, " - flag_HasCFNameString"},
    {0x10000000, " - flag_IsGlobalMeta"},     {0x20000000, " - flag_IsElementMeta"},
    {0x40000000, " - flag_IsReadable"},       {0x80000000, " - flag_IsWritable"},
};

constexpr const char* kKinds[] = {
    "generic",
    "indexed",
    "boolean",
    "percent",
    "seconds",
    "sampleFrames",
    "phase",
    "rate",
    "hertz",
    "cents",
    "relativeSemiTones",
    "midiNoteNumber",
    "midiController",
    "decibels",
    "linearGain",
    "degrees",
    "equalPowerCrossfade",
    "mixerFaderCurve1",
    "pan",
    "meters",
    "absoluteCents",
    "octaves",
    "BPM",
    "beats",
    "milliseconds",
    "ratio",
    "customUnit",
};

} // namespace

namespace ParameterTreeDump {

void extractParameters(const std::string& name, const AUParameterGroup* tree, std::int64_t level,
                       std::vector<std::shared_ptr<AUParameter>>& found) {
    if (!tree) {
        println("ExtensionViewController: The parameter group has no children.");
        return;
    }
    for (const auto& child : tree->children()) {
        const auto* group = dynamic_cast<const AUParameterGroup*>(child.get());
        if (!group) continue; // a plain parameter at this level is not listed
        for (const auto& parameter : group->allParameters()) {
            found.push_back(parameter);
            printParameter(*parameter, level + 1);
        }
        extractParameters(group->displayName(), group, level + 1, found);
    }
}

void printParameter(const AUParameter& p, std::int64_t level) {
    const std::string t = tabs(level);
    // Two printed items are joined by one blank, after labels that end in one.
    const auto line = [&t](const std::string& label, const std::string& value) { println(t + label + " " + value); };
    println("\n" + t + "ExtensionViewController: Folllowing AU parameter was found... ");
    line("- address: ", std::to_string(p.address()));
    line("- displayName: ", p.displayName());
    line("- value: ", floatText(p.value()));
    line("- options: ", "AudioUnitParameterOptions(rawValue: " + std::to_string(p.flags()) + ")");
    verboseFlags(p.flags(), level);
    line("- maxValue: ", floatText(p.maxValue()));
    line("- minValue: ", floatText(p.minValue()));
    line("- unit: (type " + std::to_string(p.unit()) + ") ", verboseParameterKind(p.unit()));
    line("- unitName: ", p.unitName().value_or(""));
    line("- valueStrings: ", listText(p.valueStrings()));
}

void verboseFlags(AudioUnitParameterOptions flags, std::int64_t level) {
    const std::string t = tabs(level);
    println(t + "- The flag value includes the following flags... ");
    for (const Flag& f : kFlags) {
        if ((flags & f.mask) == f.mask) println(t + f.text);
    }
}

std::string verboseParameterKind(AudioUnitParameterUnit kind) {
    return kind < std::size(kKinds) ? kKinds[kind] : "unknown parameter kind";
}

} // namespace ParameterTreeDump
