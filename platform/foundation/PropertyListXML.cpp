// XML property lists: read over pugixml, written directly (the format is small
// and fixed, and writing it ourselves keeps "\r" and empty elements exact).
#include "foundation/PropertyList.h"
#include "foundation/PropertyListText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace plist {
namespace {

bool isBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\n\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\n\r") - first + 1);
}

std::optional<Value> parseInteger(std::string_view t) {
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), magnitude);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    if (!negative) return Value(magnitude);
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return std::nullopt;
    return Value(static_cast<std::int64_t>(0 - magnitude));
}

std::optional<double> parseReal(std::string_view t) {
    if (!t.empty() && t[0] == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t[0] == '-') return std::nullopt;
    }
    if (t.empty() || t[0] == '+') return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return v;
}

class XMLReader {
public:
    explicit XMLReader(std::string_view bytes) : bytes_(bytes) {}

    ReadResult read() {
        if (isBlank(bytes_)) return failure(0, "the file is empty");
        pugi::xml_document doc;
        const auto options = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype;
        const auto parsed = doc.load_buffer(bytes_.data(), bytes_.size(), options, pugi::encoding_auto);
        if (!parsed) return failure(lineAt(parsed.offset), std::string("malformed XML: ") + parsed.description());

        pugi::xml_node root;
        for (auto node : doc.children()) {
            if (node.type() == pugi::node_doctype && std::strchr(node.value(), '['))
                return failure(node, "a DOCTYPE with declarations (entities) is not accepted");
            if (node.type() == pugi::node_element) root = node;
        }
        if (std::strcmp(root.name(), "plist") != 0)
            return failure(root, "the root element is <" + std::string(root.name()) + ">, not <plist>");

        pugi::xml_node top;
        for (auto child : root.children()) {
            if (isText(child) && isBlank(child.value())) continue;
            if (child.type() != pugi::node_element || top) return failure(child, "<plist> must hold exactly one value");
            top = child;
        }
        if (!top) return failure(root, "<plist> holds no value");
        auto value = convert(top, 1);
        if (!value) return {std::nullopt, error_};
        return {std::move(value), {}};
    }

private:
    static bool isText(pugi::xml_node n) { return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata; }

    std::size_t lineAt(std::ptrdiff_t offset) const {
        if (offset < 0) return 0;
        const auto end = bytes_.begin() + std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(bytes_.size()));
        return 1 + static_cast<std::size_t>(std::count(bytes_.begin(), end, '\n'));
    }

    ReadResult failure(std::size_t line, std::string reason) { return {std::nullopt, {line, std::move(reason)}}; }
    ReadResult failure(pugi::xml_node node, std::string reason) {
        return failure(lineAt(node.offset_debug()), std::move(reason));
    }
    std::nullopt_t fail(pugi::xml_node node, std::string reason) {
        error_ = {lineAt(node.offset_debug()), std::move(reason)};
        return std::nullopt;
    }

    // The text of a leaf element; fails on a child element.
    std::optional<std::string> leafText(pugi::xml_node node) {
        std::string text;
        for (auto child : node.children()) {
            if (!isText(child))
                return fail(child, "<" + std::string(node.name()) + "> holds an element <" + child.name() + ">");
            text += child.value();
        }
        return text;
    }

    std::optional<std::string> stringText(pugi::xml_node node) {
        auto text = leafText(node);
        if (text && !text::isXMLText(*text))
            return fail(node, "<" + std::string(node.name()) + "> holds text that is not valid UTF-8 XML text");
        return text;
    }

    std::optional<Value> convert(pugi::xml_node node, int depth) {
        const std::string_view name = node.name();
        if (name == "dict" || name == "array") {
            if (depth > kMaxDepth)
                return fail(node, "containers nested deeper than " + std::to_string(kMaxDepth) + " levels");
            return name == "dict" ? convertDict(node, depth) : convertArray(node, depth);
        }
        if (name == "true" || name == "false") {
            auto text = leafText(node);
            if (!text) return std::nullopt;
            if (!isBlank(*text)) return fail(node, "<" + std::string(name) + "> must be empty");
            return Value(name == "true");
        }
        if (name == "string") {
            auto text = stringText(node);
            if (!text) return std::nullopt;
            return Value(std::move(*text));
        }
        if (name == "integer" || name == "real" || name == "date" || name == "data") {
            auto text = leafText(node);
            if (!text) return std::nullopt;
            if (name == "integer") {
                if (auto v = parseInteger(trimmed(*text))) return v;
                return fail(node,
                            "<integer> holds " + text::excerpt(*text) + ", not a whole number from -2^63 to 2^64-1");
            }
            if (name == "real") {
                if (auto v = parseReal(trimmed(*text))) return Value(*v);
                return fail(node, "<real> holds " + text::excerpt(*text) + ", not a number in the range of a double");
            }
            if (name == "date") {
                if (auto v = text::parseDate(trimmed(*text))) return Value(Date{*v});
                return fail(node, "<date> holds " + text::excerpt(*text) + ", not a date like 2001-01-01T00:00:00Z");
            }
            if (auto v = text::base64Decode(*text)) return Value(std::move(*v));
            return fail(node, "<data> holds " + text::excerpt(*text) + ", not base64");
        }
        return fail(node, "unknown element <" + std::string(name) + ">");
    }

    // The element children of a container; text other than white space fails.
    bool elements(pugi::xml_node node, std::vector<pugi::xml_node>& out) {
        for (auto child : node.children()) {
            if (child.type() == pugi::node_element) {
                out.push_back(child);
            } else if (isText(child) && !isBlank(child.value())) {
                fail(child, "<" + std::string(node.name()) + "> holds text " + text::excerpt(child.value()));
                return false;
            }
        }
        return true;
    }

    std::optional<Value> convertArray(pugi::xml_node node, int depth) {
        std::vector<pugi::xml_node> children;
        if (!elements(node, children)) return std::nullopt;
        Array array;
        array.reserve(children.size());
        for (auto child : children) {
            auto v = convert(child, depth + 1);
            if (!v) return std::nullopt;
            array.push_back(std::move(*v));
        }
        return Value(std::move(array));
    }

    std::optional<Value> convertDict(pugi::xml_node node, int depth) {
        std::vector<pugi::xml_node> children;
        if (!elements(node, children)) return std::nullopt;
        std::vector<Dictionary::Entry> entries;
        entries.reserve(children.size() / 2);
        for (std::size_t i = 0; i < children.size(); i += 2) {
            if (std::strcmp(children[i].name(), "key") != 0)
                return fail(children[i],
                            "<dict> holds <" + std::string(children[i].name()) + "> where a <key> belongs");
            auto key = stringText(children[i]);
            if (!key) return std::nullopt;
            if (i + 1 == children.size()) return fail(children[i], "the key " + text::excerpt(*key) + " has no value");
            auto v = convert(children[i + 1], depth + 1);
            if (!v) return std::nullopt;
            entries.emplace_back(std::move(*key), std::move(*v));
        }
        return Value(Dictionary(std::move(entries)));
    }

    std::string_view bytes_;
    ReadError error_;
};

class XMLWriter {
public:
    bool write(const Value& v, int depth) {
        switch (v.kind()) {
        case Kind::boolean:
            line(*v.boolean() ? "<true/>" : "<false/>", depth);
            return true;
        case Kind::integer: {
            char buffer[24];
            const auto i = v.int64();
            const auto end = i ? std::to_chars(buffer, buffer + sizeof buffer, *i).ptr
                               : std::to_chars(buffer, buffer + sizeof buffer, *v.uint64()).ptr;
            element("integer", std::string_view(buffer, static_cast<std::size_t>(end - buffer)), depth);
            return true;
        }
        case Kind::real:
            element("real", formatReal(*v.real()), depth);
            return true;
        case Kind::string:
            return escapedElement("string", *v.string(), depth);
        case Kind::data:
            element("data", text::base64Encode(*v.data()), depth);
            return true;
        case Kind::date:
            element("date", text::formatDate(v.date()->secondsSinceReferenceDate), depth);
            return true;
        case Kind::array: {
            if (!enter(depth)) return false;
            const Array& array = *v.array();
            if (array.empty()) {
                line("<array/>", depth);
                return true;
            }
            line("<array>", depth);
            for (const auto& item : array)
                if (!write(item, depth + 1)) return false;
            line("</array>", depth);
            return true;
        }
        case Kind::dictionary: {
            if (!enter(depth)) return false;
            const Dictionary& dict = *v.dictionary();
            if (dict.empty()) {
                line("<dict/>", depth);
                return true;
            }
            line("<dict>", depth);
            for (const auto& [key, item] : dict)
                if (!escapedElement("key", key, depth + 1) || !write(item, depth + 1)) return false;
            line("</dict>", depth);
            return true;
        }
        }
        return false;
    }

    std::string out;
    std::string error;

private:
    bool enter(int depth) {
        if (depth < kMaxDepth) return true;
        error = "containers nested deeper than " + std::to_string(kMaxDepth) + " levels";
        return false;
    }

    static std::string formatReal(double d) {
        if (std::isnan(d)) return "nan";
        if (std::isinf(d)) return d > 0 ? "+infinity" : "-infinity";
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, d).ptr;
        return std::string(buffer, end);
    }

    void indent(int depth) { out.append(static_cast<std::size_t>(depth), '\t'); }
    void line(std::string_view text, int depth) {
        indent(depth);
        out += text;
        out += '\n';
    }
    void element(std::string_view name, std::string_view content, int depth) {
        indent(depth);
        out += '<';
        out += name;
        out += '>';
        out += content;
        out += "</";
        out += name;
        out += ">\n";
    }
    bool escapedElement(std::string_view name, const std::string& content, int depth) {
        if (!text::isXMLText(content)) {
            error = "the text " + text::excerpt(content) + " is not valid UTF-8 or holds a control character";
            return false;
        }
        std::string escaped;
        escaped.reserve(content.size());
        for (char c : content) {
            switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\r':
                escaped += "&#13;";
                break; // a raw one would be read back as "\n"
            default:
                escaped += c;
            }
        }
        element(name, escaped, depth);
        return true;
    }
};

} // namespace

ReadResult readXML(std::string_view bytes) { return XMLReader(bytes).read(); }

std::optional<std::string> writeXML(const Value& value, std::string* error) {
    XMLWriter writer;
    writer.out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                 "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                 "<plist version=\"1.0\">\n";
    if (!writer.write(value, 0)) {
        if (error) *error = writer.error;
        return std::nullopt;
    }
    writer.out += "</plist>\n";
    return std::move(writer.out);
}

} // namespace plist
