#pragma once
// Diagnostic lines printed from the main queue, whatever thread asks.
// Thread rules: any thread but the render thread (they allocate). The line is never
// printed inline, not even on the main thread: it comes out when the main run loop
// drains the main queue, in order of submission, or at the latest when the process
// shuts down.

#include <string_view>

// Prints the text and a line feed, as given, with nothing added.
void safeprint(std::string_view text);
// The same as safeprint; the callers named for it use this one.
void debugprint(std::string_view text);
