#include "audiounit/PresetModel.h"

#include "audiounit/VYKPreset.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::optional<std::uint32_t> code(const plist::Value& value) {
    const auto v = value.uint64();
    if (!v || *v > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

// A finite number that fits a float, from an integer or a real.
std::optional<AUValue> floatValue(const plist::Value& value) {
    double d;
    if (const double* real = value.real())
        d = *real;
    else if (const auto i = value.int64())
        d = static_cast<double>(*i);
    else if (const auto u = value.uint64())
        d = static_cast<double>(*u);
    else
        return std::nullopt;
    const auto f = static_cast<float>(d);
    if (!std::isfinite(d) || !std::isfinite(f)) return std::nullopt;
    return f;
}

bool contains(const std::string& key, const char* word) { return key.find(word) != std::string::npos; }

} // namespace

plist::Dictionary PresetParam::toDictionary() const {
    plist::Dictionary dict;
    dict.set("address", plist::Value(address));
    dict.set("identifier", plist::Value(identifier));
    dict.set("value", plist::Value(static_cast<double>(value)));
    return dict;
}

bool PresetParam::fromDictionary(const plist::Dictionary& dict, VYKPreset& preset) {
    bool hasAddress = false;
    bool usableValue = true;
    for (const auto& [key, v] : dict) {
        if (key == "identifier") {
            if (const std::string* s = v.string()) identifier = *s;
        } else if (key == "address") {
            const auto a = v.uint64();
            hasAddress = a.has_value();
            if (a) address = *a;
        } else if (key == "value") {
            const auto f = floatValue(v);
            usableValue = f.has_value();
            if (f) value = *f;
        }
    }
    if (!hasAddress || !usableValue) return false;
    preset.foundParameter(group != nullptr ? group->id : 0, identifier, address, value);
    return true;
}

void PresetGroup::sortParams() {
    std::stable_sort(params.begin(), params.end(),
                     [](const auto& a, const auto& b) { return a->address < b->address; });
}

plist::Dictionary PresetGroup::toDictionary() {
    plist::Dictionary dict;
    dict.set("identifier", plist::Value(identifier));
    dict.set("count", plist::Value(params.size()));
    sortParams();
    for (std::size_t i = 0; i < params.size(); ++i)
        dict.set("param " + std::to_string(i), plist::Value(params[i]->toDictionary()));
    return dict;
}

void PresetGroup::fromDictionary(const plist::Dictionary& dict, VYKPreset& preset) {
    params.clear();
    for (const auto& [key, v] : dict) {
        if (key == "identifier") {
            if (const std::string* s = v.string()) {
                identifier = *s;
                findGroupNumber();
            }
        } else if (contains(key, "param")) {
            const plist::Dictionary* paramDict = v.dictionary();
            if (paramDict == nullptr) continue;
            auto param = std::make_unique<PresetParam>();
            param->group = this;
            if (param->fromDictionary(*paramDict, preset)) params.push_back(std::move(param));
        }
    }
    sortParams();
}

void PresetGroup::findGroupNumber() {
    const std::size_t space = identifier.rfind(' ');
    const std::string_view last =
        space == std::string::npos ? std::string_view(identifier) : std::string_view(identifier).substr(space + 1);
    id = 0;
    std::string_view digits = last;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    const std::string_view text = last.front() == '+' ? last.substr(1) : last;
    std::int64_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error == std::errc() && end == text.data() + text.size()) id = n;
}

plist::Dictionary PresetPatch::toDictionary() {
    plist::Dictionary dict;
    dict.set("version", plist::Value(version));
    dict.set("type", plist::Value(type));
    dict.set("manufacturer", plist::Value(manufacturer));
    dict.set("subtype", plist::Value(subtype));
    dict.set("number", plist::Value(number));
    dict.set("name", plist::Value(name));
    dict.set("data", plist::Value(data));
    dict.set("count", plist::Value(groups.size()));
    for (std::size_t i = 0; i < groups.size(); ++i)
        dict.set("group " + std::to_string(i), plist::Value(groups[i]->toDictionary()));
    dict.set("link", plist::Value(link));
    return dict;
}

void PresetPatch::fromDictionary(const plist::Dictionary& dict) {
    groups.clear();
    AudioComponentDescription description = parent_.componentDescription();
    for (const auto& [key, v] : dict) {
        if (key == "version") {
            if (const auto i = v.int64()) version = *i;
        } else if (key == "type") {
            if (const auto c = code(v)) description.componentType = type = *c;
        } else if (key == "manufacturer") {
            if (const auto c = code(v)) description.componentManufacturer = manufacturer = *c;
        } else if (key == "subtype") {
            if (const auto c = code(v)) description.componentSubType = subtype = *c;
        } else if (key == "number") {
            if (const auto i = v.int64()) number = *i;
        } else if (key == "name") {
            if (const std::string* s = v.string()) name = *s;
        } else if (key == "data") {
            if (const plist::Data* d = v.data()) data = *d;
        } else if (contains(key, "group")) {
            const plist::Dictionary* groupDict = v.dictionary();
            if (groupDict == nullptr) continue;
            groups.push_back(std::make_unique<PresetGroup>());
            groups.back()->fromDictionary(*groupDict, parent_);
        } else if (key == "link") {
            if (const std::string* s = v.string()) link = *s;
        }
    }
    parent_.setComponentDescription(description);
}
