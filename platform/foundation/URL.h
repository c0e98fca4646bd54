#pragma once
// A URL reference parsed by RFC 3986: scheme, authority (user, host, port),
// path, query and fragment. The path is kept percent-decoded; the path
// operations (last component, extension) look at the path only, so the query
// and fragment never leak into them ("page.html?x=1.zip" has extension "html").
// Thread rules: a plain value.
#include <optional>
#include <string>
#include <string_view>

class URL {
public:
    // None for text that is no URL reference: a character outside RFC 3986's
    // set (space, quote, non-ASCII ...), a broken percent escape, an escaped
    // NUL in the path, or a port that is not a number up to 65535.
    static std::optional<URL> parse(std::string_view text);

    // A file URL for a path; a relative path is taken from the working folder.
    static URL fileURL(std::string_view path);

    const std::string& scheme() const { return scheme_; } // lower case; empty for a relative reference
    const std::string& host() const { return host_; }     // without the brackets of an IP literal
    std::optional<int> port() const { return port_; }
    const std::string& path() const { return path_; } // percent-decoded
    const std::optional<std::string>& query() const { return query_; }
    const std::optional<std::string>& fragment() const { return fragment_; }
    bool isFileURL() const { return scheme_ == "file"; }

    std::string absoluteString() const;

    // The path's last component ("/" for the root, "" for an empty path) and
    // the text after its last dot ("" when there is none or the name starts
    // with its only dot).
    std::string lastPathComponent() const;
    std::string pathExtension() const;

    URL appendingPathComponent(std::string_view component) const;
    URL appendingPathExtension(std::string_view extension) const;
    URL deletingLastPathComponent() const;
    URL deletingPathExtension() const;

    bool operator==(const URL& other) const { return absoluteString() == other.absoluteString(); }

private:
    void setPath(std::string decoded);

    std::string scheme_;
    bool hasAuthority_ = false;
    std::string userInfo_; // as written
    std::string host_;     // as written
    bool ipLiteral_ = false;
    std::optional<int> port_;
    std::string path_;    // decoded
    std::string rawPath_; // as written (or encoded from path_)
    std::optional<std::string> query_;
    std::optional<std::string> fragment_;
};
