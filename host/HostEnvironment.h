#pragma once
// What the host takes from its surroundings, in one place so that a test or a
// benchmark can replace it before the main scene loads: the audio output, the
// draw of the loop number and the folder its resources come from.
// Thread rules: set before the main scene loads; read on the main thread.
#include "avfoundation/AudioOutputSink.h"
#include "foundation/URL.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace host {

struct Environment {
    // Empty: the default output (AudioOutputChoice.h).
    std::function<std::shared_ptr<avf::AudioOutputSink>()> makeOutputSink;
    // Empty: a uniform draw from 1 to 80.
    std::function<int()> loopNumber;
    // Empty: the bundle's Resources folder.
    std::optional<URL> resourceFolder;
};

Environment& environment();

// <resources>/<name>.<extension> when that file exists.
std::optional<URL> resourceURL(const std::string& name, const std::string& extension);

// The maker's web page (a build setting).
URL makerURL();

// Writes one whole line, directly (not through the main queue).
void println(const std::string& line);

} // namespace host
