#pragma once
// Where the user's documents and the bundle's resources are, and a check that
// a folder exists before something is written into it.
// Thread rules: getPaths() and the four globals belong to the main thread;
// ensureDirectoryExists() may run on any thread. Both log through the main queue.
#include "foundation/URL.h"

#include <optional>

extern std::optional<URL> documentsURL;
extern std::optional<URL> resourcesURL;
extern std::optional<URL> sharedURLAudio; // declared for shared audio; nothing sets it
extern std::optional<URL> sharedURLMIDI;  // declared for shared MIDI; nothing sets it

// Looks up both folders, keeps them in the globals and logs one line for each.
void getPaths();

// True when a folder stands at the URL's path on return, creating it and the
// folders above it as needed; a file in the way or a failed creation logs one
// line with the reason and gives false.
bool ensureDirectoryExists(const URL& url);
