#include "foundation/URL.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

bool isUnreserved(unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool isSubDelim(unsigned char c) {
    return std::string_view("!$&'()*+,;=").find(static_cast<char>(c)) != std::string_view::npos;
}
bool isHex(unsigned char c) { return std::isxdigit(c) != 0; }
int hexValue(char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10); }

// Every character is one RFC 3986 allows in that part (`extra` beside
// unreserved and sub-delimiters), and each "%" starts a valid escape.
bool valid(std::string_view s, std::string_view extra) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '%') {
            if (i + 2 >= s.size() || !isHex(static_cast<unsigned char>(s[i + 1])) ||
                !isHex(static_cast<unsigned char>(s[i + 2])))
                return false;
            i += 2;
        } else if (!isUnreserved(c) && !isSubDelim(c) && extra.find(static_cast<char>(c)) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

std::string decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) { // escapes were validated
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string encodePath(std::string_view s) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c) || (isSubDelim(c) && c != ';') || c == '/' || c == ':' || c == '@') {
            out += ch;
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

} // namespace

std::optional<URL> URL::parse(std::string_view text) {
    URL url;
    std::string_view rest = text;

    // scheme ":" when what precedes the first ":" is a valid scheme name.
    const auto colon = rest.find(':');
    const auto firstDelimiter = rest.find_first_of("/?#");
    if (colon != std::string_view::npos && colon > 0 && colon < firstDelimiter &&
        std::isalpha(static_cast<unsigned char>(rest[0])) &&
        std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
        })) {
        url.scheme_ = std::string(rest.substr(0, colon));
        std::transform(url.scheme_.begin(), url.scheme_.end(), url.scheme_.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        rest.remove_prefix(colon + 1);
    }

    if (const auto hash = rest.find('#'); hash != std::string_view::npos) {
        url.fragment_ = std::string(rest.substr(hash + 1));
        if (!valid(*url.fragment_, ":@/?")) return std::nullopt;
        rest = rest.substr(0, hash);
    }
    if (const auto question = rest.find('?'); question != std::string_view::npos) {
        url.query_ = std::string(rest.substr(question + 1));
        if (!valid(*url.query_, ":@/?")) return std::nullopt;
        rest = rest.substr(0, question);
    }

    if (rest.substr(0, 2) == "//") {
        url.hasAuthority_ = true;
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        std::string_view authority = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
            url.userInfo_ = std::string(authority.substr(0, at));
            if (!valid(url.userInfo_, ":")) return std::nullopt;
            authority.remove_prefix(at + 1);
        }
        std::string_view port;
        if (!authority.empty() && authority[0] == '[') {
            const auto close = authority.find(']');
            if (close == std::string_view::npos) return std::nullopt;
            url.ipLiteral_ = true;
            url.host_ = std::string(authority.substr(1, close - 1));
            if (url.host_.empty() || !std::all_of(url.host_.begin(), url.host_.end(),
                                                  [](unsigned char c) { return isHex(c) || c == ':' || c == '.'; }))
                return std::nullopt;
            authority.remove_prefix(close + 1);
            if (!authority.empty() && authority[0] != ':') return std::nullopt;
            port = authority.substr(std::min<std::size_t>(1, authority.size()));
        } else {
            const auto portColon = authority.rfind(':');
            url.host_ = std::string(authority.substr(0, portColon));
            if (!valid(url.host_, "")) return std::nullopt;
            if (portColon != std::string_view::npos) port = authority.substr(portColon + 1);
        }
        if (!port.empty()) {
            if (port.size() > 5 ||
                !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }))
                return std::nullopt;
            const int number = std::stoi(std::string(port));
            if (number > 65535) return std::nullopt;
            url.port_ = number;
        }
    }

    if (!valid(rest, ":@/")) return std::nullopt;
    url.rawPath_ = std::string(rest);
    url.path_ = decode(rest);
    if (url.path_.find('\0') != std::string::npos) return std::nullopt;
    return url;
}

URL URL::fileURL(std::string_view path) {
    URL url;
    url.scheme_ = "file";
    url.hasAuthority_ = true;
    std::string absolute(path);
    if (absolute.empty() || absolute[0] != '/') {
        std::string cwd(PATH_MAX, '\0');
        if (getcwd(cwd.data(), cwd.size())) {
            cwd.resize(cwd.find('\0'));
            absolute = cwd + (cwd.back() == '/' ? "" : "/") + absolute;
        }
    }
    url.setPath(std::move(absolute));
    return url;
}

void URL::setPath(std::string decoded) {
    path_ = std::move(decoded);
    rawPath_ = encodePath(path_);
}

std::string URL::absoluteString() const {
    std::string out;
    if (!scheme_.empty()) out += scheme_ + ":";
    if (hasAuthority_) {
        out += "//";
        if (!userInfo_.empty()) out += userInfo_ + "@";
        out += ipLiteral_ ? "[" + host_ + "]" : host_;
        if (port_) out += ":" + std::to_string(*port_);
    }
    out += rawPath_;
    if (query_) out += "?" + *query_;
    if (fragment_) out += "#" + *fragment_;
    return out;
}

std::string URL::lastPathComponent() const {
    std::string_view p = path_;
    while (p.size() > 1 && p.back() == '/') p.remove_suffix(1);
    if (p == "/") return "/";
    const auto slash = p.rfind('/');
    return std::string(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

std::string URL::pathExtension() const {
    const std::string name = lastPathComponent();
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || name == "/") return {};
    return name.substr(dot + 1);
}

URL URL::appendingPathComponent(std::string_view component) const {
    URL url = *this;
    std::string p = path_;
    if (!p.empty() && p.back() != '/') p += '/';
    url.setPath(p + std::string(component));
    return url;
}

URL URL::appendingPathExtension(std::string_view extension) const {
    URL url = *this;
    std::string p = path_;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    url.setPath(p + "." + std::string(extension));
    return url;
}

URL URL::deletingLastPathComponent() const {
    URL url = *this;
    std::string p = path_;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    const auto slash = p.rfind('/');
    url.setPath(slash == std::string::npos ? std::string() : p.substr(0, slash + 1));
    return url;
}

URL URL::deletingPathExtension() const {
    const std::string extension = pathExtension();
    if (extension.empty()) return *this;
    URL url = *this;
    std::string p = path_;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    url.setPath(p.substr(0, p.size() - extension.size() - 1));
    return url;
}
