// Binary property lists ("bplist00"): header, objects, a table of object
// offsets and a 32-byte trailer. Every offset, count and reference is checked
// against the file before it is used; a reference back into the path being read
// (a cycle) and nesting beyond kMaxDepth are refused, and the values produced
// are budgeted so that shared references cannot blow a small file up.
#include "foundation/PropertyList.h"
#include "foundation/PropertyListText.h"

#include <bit>
#include <cstring>

namespace plist {
namespace {

constexpr std::size_t kTrailerSize = 32;
constexpr std::size_t kHeaderSize = 8;
constexpr std::uint64_t kMaxValues = 1u << 20;
constexpr std::uint64_t kMaxPayloadBytes = 1u << 26;

std::string hex(std::uint64_t v) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "0x";
    out += digits[(v >> 4) & 15];
    out += digits[v & 15];
    return out;
}

class BinaryReader {
public:
    explicit BinaryReader(std::string_view bytes)
        : b_(reinterpret_cast<const std::uint8_t*>(bytes.data())), size_(bytes.size()) {}

    ReadResult read() {
        if (size_ == 0) return failure("the file is empty");
        if (size_ < kHeaderSize + kTrailerSize + 2 || std::memcmp(b_, "bplist00", kHeaderSize) != 0)
            return failure("not a binary property list (bplist00) or truncated");
        const std::size_t trailer = size_ - kTrailerSize;
        offsetSize_ = b_[trailer + 6];
        refSize_ = b_[trailer + 7];
        const std::uint64_t count = be(trailer + 8, 8);
        const std::uint64_t top = be(trailer + 16, 8);
        tableStart_ = be(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8)
            return failure("the trailer gives an offset or reference size outside 1 to 8 bytes");
        if (tableStart_ <= kHeaderSize || tableStart_ >= trailer)
            return failure("the offset table starts outside the file");
        if (count == 0 || count > (trailer - tableStart_) / offsetSize_)
            return failure("the trailer's object count does not fit the offset table");
        if (top >= count) return failure("the top object reference is past the object count");
        objects_ = count;
        onPath_.assign(static_cast<std::size_t>(count), false);
        auto value = object(top, 1);
        if (!value) return {std::nullopt, {0, std::move(reason_)}};
        return {std::move(value), {}};
    }

private:
    static ReadResult failure(std::string reason) { return {std::nullopt, {0, std::move(reason)}}; }
    bool error(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }
    std::nullopt_t fail(std::string reason) {
        error(std::move(reason));
        return std::nullopt;
    }

    // Big-endian unsigned of n (1 to 8) bytes at pos; the caller checked bounds.
    std::uint64_t be(std::uint64_t pos, std::size_t n) const {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v = (v << 8) | b_[pos + i];
        return v;
    }

    // True when n bytes from pos lie inside the object area (before the table).
    bool fits(std::uint64_t pos, std::uint64_t n) const { return pos <= tableStart_ && n <= tableStart_ - pos; }

    bool spend(std::uint64_t payload) {
        if (++values_ > kMaxValues || payload > kMaxPayloadBytes - payloadBytes_) {
            return error("the property list expands beyond " + std::to_string(kMaxValues) + " values or " +
                         std::to_string(kMaxPayloadBytes >> 20) + " MB");
        }
        payloadBytes_ += payload;
        return true;
    }

    // The length of a string, data or container: the marker's low nibble, or
    // 15 followed by an integer object.
    bool length(std::uint64_t& pos, std::uint8_t nibble, std::uint64_t& n) {
        if (nibble != 15) {
            n = nibble;
            return true;
        }
        if (!fits(pos, 1)) return error("a length runs past the object area");
        const std::uint8_t marker = b_[pos];
        const std::size_t width = std::size_t{1} << (marker & 15);
        if ((marker >> 4) != 1 || (marker & 15) > 3 || !fits(pos + 1, width))
            return error("a length at offset " + std::to_string(pos) + " is not a valid integer");
        n = be(pos + 1, width);
        pos += 1 + width;
        return true;
    }

    std::optional<Value> object(std::uint64_t ref, int depth) {
        if (ref >= objects_) return fail("an object reference (" + std::to_string(ref) + ") is past the object count");
        const std::uint64_t entry = tableStart_ + ref * offsetSize_;
        std::uint64_t pos = be(entry, offsetSize_);
        if (pos < kHeaderSize || !fits(pos, 1))
            return fail("object " + std::to_string(ref) + " has an offset outside the object area");
        const std::uint8_t marker = b_[pos++];
        const std::uint8_t kind = marker >> 4;
        const std::uint8_t nibble = marker & 15;
        const std::uint64_t start = pos - 1;
        auto at = [start] { return " at offset " + std::to_string(start); };

        switch (kind) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) {
                if (!spend(0)) return std::nullopt;
                return Value(marker == 0x09);
            }
            return fail("unsupported object " + hex(marker) + at());
        case 0x1: {
            if (nibble > 4) return fail("an integer of unsupported width" + at());
            const std::size_t width = std::size_t{1} << nibble;
            if (!fits(pos, width)) return fail("an integer runs past the object area" + at());
            if (!spend(0)) return std::nullopt;
            if (width < 8) return Value(be(pos, width)); // 1, 2 and 4 bytes are unsigned
            if (width == 8) return Value(static_cast<std::int64_t>(be(pos, 8)));
            // 16 bytes: the unsigned values above the signed range.
            if (be(pos, 8) != 0) return fail("an integer wider than 64 bits" + at());
            return Value(be(pos + 8, 8));
        }
        case 0x2:
        case 0x3: {
            if ((kind == 0x2 && nibble != 2 && nibble != 3) || (kind == 0x3 && nibble != 3))
                return fail("a real or date of unsupported width" + at());
            const std::size_t width = std::size_t{1} << nibble;
            if (!fits(pos, width)) return fail("a real or date runs past the object area" + at());
            if (!spend(0)) return std::nullopt;
            const double d = width == 4
                                 ? static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(be(pos, 4))))
                                 : std::bit_cast<double>(be(pos, 8));
            if (kind == 0x3) return Value(Date{d});
            return Value(d);
        }
        case 0x4:
        case 0x5:
        case 0x6: {
            std::uint64_t n = 0;
            if (!length(pos, nibble, n)) return std::nullopt;
            const std::uint64_t unit = kind == 0x6 ? 2 : 1;
            if (n > tableStart_ / unit || !fits(pos, n * unit))
                return fail("a string or data runs past the object area" + at());
            if (!spend(n * unit)) return std::nullopt;
            const auto* p = b_ + pos;
            if (kind == 0x4) return Value(Data(p, p + n));
            if (kind == 0x5) {
                for (std::uint64_t i = 0; i < n; ++i)
                    if (p[i] >= 0x80) return fail("an ASCII string holds a byte above 0x7F" + at());
                return Value(std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)));
            }
            return utf16(p, n, start);
        }
        case 0xA:
        case 0xD: {
            if (depth > kMaxDepth)
                return fail("containers nested deeper than " + std::to_string(kMaxDepth) + " levels");
            std::uint64_t n = 0;
            if (!length(pos, nibble, n)) return std::nullopt;
            const std::uint64_t refs = kind == 0xD ? 2 : 1;
            if (n > tableStart_ / (refs * refSize_) || !fits(pos, n * refs * refSize_))
                return fail("a container's references run past the object area" + at());
            if (onPath_[ref]) return fail("object " + std::to_string(ref) + " contains itself (a reference cycle)");
            if (!spend(0)) return std::nullopt;
            onPath_[ref] = true;
            auto v = kind == 0xA ? array(pos, n, depth) : dictionary(pos, n, depth);
            onPath_[ref] = false;
            return v;
        }
        default:
            return fail("unsupported object " + hex(marker) + at());
        }
    }

    std::optional<Value> array(std::uint64_t pos, std::uint64_t n, int depth) {
        Array items;
        items.reserve(static_cast<std::size_t>(n));
        for (std::uint64_t i = 0; i < n; ++i) {
            auto v = object(be(pos + i * refSize_, refSize_), depth + 1);
            if (!v) return std::nullopt;
            items.push_back(std::move(*v));
        }
        return Value(std::move(items));
    }

    std::optional<Value> dictionary(std::uint64_t pos, std::uint64_t n, int depth) {
        std::vector<Dictionary::Entry> entries;
        entries.reserve(static_cast<std::size_t>(n));
        for (std::uint64_t i = 0; i < n; ++i) {
            auto key = object(be(pos + i * refSize_, refSize_), depth + 1);
            if (!key) return std::nullopt;
            if (!key->string()) return fail("a dictionary key is not a string");
            auto v = object(be(pos + (n + i) * refSize_, refSize_), depth + 1);
            if (!v) return std::nullopt;
            entries.emplace_back(std::move(*key->string()), std::move(*v));
        }
        return Value(Dictionary(std::move(entries)));
    }

    std::optional<Value> utf16(const std::uint8_t* p, std::uint64_t n, std::uint64_t start) {
        std::string out;
        out.reserve(static_cast<std::size_t>(n));
        for (std::uint64_t i = 0; i < n; ++i) {
            std::uint32_t c = (p[2 * i] << 8) | p[2 * i + 1];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n) {
                const std::uint32_t low = (p[2 * i + 2] << 8) | p[2 * i + 3];
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            if (c >= 0xD800 && c <= 0xDFFF)
                return fail("a UTF-16 string holds an unpaired surrogate at offset " + std::to_string(start));
            text::appendUTF8(out, c);
        }
        return Value(std::move(out));
    }

    const std::uint8_t* b_;
    std::size_t size_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t tableStart_ = 0;
    std::uint64_t objects_ = 0;
    std::vector<bool> onPath_;
    std::uint64_t values_ = 0;
    std::uint64_t payloadBytes_ = 0;
    std::string reason_;
};

} // namespace

ReadResult readBinary(std::string_view bytes) { return BinaryReader(bytes).read(); }

} // namespace plist
