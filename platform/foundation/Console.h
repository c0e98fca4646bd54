#pragma once
// The one console line sink every subsystem prints through.
// Thread rules: any thread except the render thread. Each call is one write,
// made under a mutex, so lines from several threads never interleave. The text
// is written exactly as given: no line feed is added or removed.
#include <functional>
#include <string_view>

namespace Console {

using Sink = std::function<void(std::string_view)>;

void write(std::string_view text);

// Replaces the sink (tests read the lines); an empty sink restores stdout.
// Returns the sink that was installed before.
Sink setSink(Sink sink);

// A broken thread rule: writes the line and a line feed to standard error, past
// the sink, and aborts.
[[noreturn]] void fatal(std::string_view line);

} // namespace Console
