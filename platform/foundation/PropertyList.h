#pragma once
// Property lists: a value type and its readers (XML and binary "bplist00") and
// writer (XML). The readers are pure functions of the bytes they are given and
// treat them as hostile: every length, offset and reference is checked, nesting
// is limited, nothing expands beyond its input, and a failure is an error value
// with a reason (and for XML the line), never a crash or a hang.
// Thread rules: values are plain data; the functions may run on any thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace plist {

class Value;

using Array = std::vector<Value>;
using Data = std::vector<std::uint8_t>;

// A point in time as seconds since 2001-01-01 00:00:00 UTC (the epoch of the
// binary format).
struct Date {
    double secondsSinceReferenceDate = 0;
    bool operator==(const Date&) const = default;
};

// Keys are kept in the order they were added (file order when read); setting an
// existing key replaces its value in place.
class Dictionary {
public:
    using Entry = std::pair<std::string, Value>;

    Dictionary() = default;
    // A repeated key keeps its first position and its last value.
    explicit Dictionary(std::vector<Entry> entries);

    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);
    void set(std::string key, Value value);

    std::size_t size() const;
    bool empty() const;
    const Entry* begin() const;
    const Entry* end() const;

    bool operator==(const Dictionary& other) const;

private:
    std::vector<Entry> entries_;
};

enum class Kind { boolean, integer, real, string, data, date, array, dictionary };

// Integers are signed 64-bit; an unsigned value above the signed range is kept
// exact as unsigned, so every value from -2^63 to 2^64 - 1 survives.
class Value {
public:
    Value(bool b) : v_(b) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
    Value(T i) : v_(fromIntegral(i)) {}
    Value(double d) : v_(d) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(Data d) : v_(std::move(d)) {}
    Value(Date d) : v_(d) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(Dictionary d) : v_(std::move(d)) {}

    Kind kind() const;

    // Null when the value is of another kind.
    const bool* boolean() const { return std::get_if<bool>(&v_); }
    const double* real() const { return std::get_if<double>(&v_); }
    const std::string* string() const { return std::get_if<std::string>(&v_); }
    const Data* data() const { return std::get_if<Data>(&v_); }
    const Date* date() const { return std::get_if<Date>(&v_); }
    const Array* array() const { return std::get_if<Array>(&v_); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&v_); }
    Array* array() { return std::get_if<Array>(&v_); }
    Dictionary* dictionary() { return std::get_if<Dictionary>(&v_); }

    // An integer in the asked range, else none.
    std::optional<std::int64_t> int64() const;
    std::optional<std::uint64_t> uint64() const;

    bool operator==(const Value& other) const { return v_ == other.v_; }

private:
    using Storage = std::variant<bool, std::int64_t, std::uint64_t, double, std::string, Data, Date, Array, Dictionary>;
    template <class T>
    static Storage fromIntegral(T i) {
        if constexpr (std::is_unsigned_v<T>) {
            if (static_cast<std::uint64_t>(i) > static_cast<std::uint64_t>(INT64_MAX))
                return Storage(std::in_place_type<std::uint64_t>, i);
        }
        return Storage(std::in_place_type<std::int64_t>, static_cast<std::int64_t>(i));
    }
    Storage v_;
};

inline std::size_t Dictionary::size() const { return entries_.size(); }
inline bool Dictionary::empty() const { return entries_.empty(); }
inline const Dictionary::Entry* Dictionary::begin() const { return entries_.data(); }
inline const Dictionary::Entry* Dictionary::end() const { return entries_.data() + entries_.size(); }

// Containers nested deeper than this are refused by the readers and the writer.
constexpr int kMaxDepth = 256;

enum class Format { xml, binary };

struct ReadError {
    std::size_t line = 0; // 1-based line of an XML error; 0 when not applicable
    std::string reason;
    // "line 3: <integer> holds "x", not a whole number" or the reason alone.
    std::string description() const;
};

struct ReadResult {
    std::optional<Value> value;
    ReadError error; // meaningful when value is empty
    explicit operator bool() const { return value.has_value(); }
};

ReadResult readXML(std::string_view bytes);
ReadResult readBinary(std::string_view bytes);
// Either format, told apart by the binary header; `format` (if given) is set to
// the format tried.
ReadResult read(std::string_view bytes, Format* format = nullptr);

// The XML form: the standard header and DOCTYPE, tab indentation. Fails (empty,
// with the reason in `error`) for text that XML cannot carry (invalid UTF-8 or
// control characters) or nesting beyond kMaxDepth.
std::optional<std::string> writeXML(const Value& value, std::string* error = nullptr);

} // namespace plist
