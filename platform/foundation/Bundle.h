#pragma once
// The application bundle: VYK-Wimbrax/{bin, lib, PlugIns, Resources}, the same
// in the build tree and installed. The main bundle is found from the running
// executable (<bundle>/bin/<program>) or, for a program outside the layout such
// as a test, from this platform library (<bundle>/lib/libvyk-platform.so).
// Thread rules: any thread; the main bundle is found once.
#include "foundation/URL.h"

#include <optional>
#include <string>
#include <string_view>

class Bundle {
public:
    static const Bundle& main();

    // The bundle that holds a file found at `binaryPath` in the layout above;
    // outside the layout, the binary's own folder.
    static Bundle forBinary(const std::string& binaryPath);

    const URL& bundleURL() const { return bundleURL_; }
    // <bundle>/Resources and <bundle>/PlugIns, when those folders exist.
    std::optional<URL> resourceURL() const;
    std::optional<URL> builtInPlugInsURL() const;
    // <bundle>/Resources/<name>.<extension> when that file exists.
    std::optional<URL> url(std::string_view resource, std::string_view extension) const;

private:
    explicit Bundle(URL url) : bundleURL_(std::move(url)) {}
    std::optional<URL> folder(std::string_view name) const;

    URL bundleURL_;
};
