#pragma once
// FFmpeg's own messages go to the console sink, warnings and worse only.
namespace avf {

// Idempotent; any thread.
void routeFFmpegLogToConsole();

} // namespace avf
