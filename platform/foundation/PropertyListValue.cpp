#include "foundation/PropertyList.h"

#include <unordered_map>

namespace plist {

Dictionary::Dictionary(std::vector<Entry> entries) {
    entries_.reserve(entries.size()); // reserved: keys never move once added
    // Small dictionaries look keys up in place; large ones through a hash, so
    // a hostile file with many keys cannot make this quadratic.
    constexpr std::size_t kLinearLimit = 16;
    std::unordered_map<std::string_view, std::size_t> index;
    if (entries.size() > kLinearLimit) index.reserve(entries.size());
    for (auto& entry : entries) {
        Value* existing = nullptr;
        if (entries.size() > kLinearLimit) {
            if (auto it = index.find(entry.first); it != index.end()) existing = &entries_[it->second].second;
        } else {
            existing = find(entry.first);
        }
        if (existing) {
            *existing = std::move(entry.second);
            continue;
        }
        entries_.push_back(std::move(entry));
        if (entries.size() > kLinearLimit) index.emplace(entries_.back().first, entries_.size() - 1);
    }
}

const Value* Dictionary::find(std::string_view key) const {
    for (const auto& entry : entries_)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

Value* Dictionary::find(std::string_view key) {
    for (auto& entry : entries_)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

void Dictionary::set(std::string key, Value value) {
    if (Value* existing = find(key))
        *existing = std::move(value);
    else
        entries_.emplace_back(std::move(key), std::move(value));
}

bool Dictionary::operator==(const Dictionary& other) const { return entries_ == other.entries_; }

Kind Value::kind() const {
    switch (v_.index()) {
    case 0:
        return Kind::boolean;
    case 1:
    case 2:
        return Kind::integer;
    case 3:
        return Kind::real;
    case 4:
        return Kind::string;
    case 5:
        return Kind::data;
    case 6:
        return Kind::date;
    case 7:
        return Kind::array;
    default:
        return Kind::dictionary;
    }
}

std::optional<std::int64_t> Value::int64() const {
    if (const auto* i = std::get_if<std::int64_t>(&v_)) return *i;
    return std::nullopt;
}

std::optional<std::uint64_t> Value::uint64() const {
    if (const auto* u = std::get_if<std::uint64_t>(&v_)) return *u;
    if (const auto* i = std::get_if<std::int64_t>(&v_); i && *i >= 0) return static_cast<std::uint64_t>(*i);
    return std::nullopt;
}

std::string ReadError::description() const {
    if (line == 0) return reason;
    return "line " + std::to_string(line) + ": " + reason;
}

ReadResult read(std::string_view bytes, Format* format) {
    const bool binary = bytes.substr(0, 6) == "bplist";
    if (format) *format = binary ? Format::binary : Format::xml;
    return binary ? readBinary(bytes) : readXML(bytes);
}

} // namespace plist
