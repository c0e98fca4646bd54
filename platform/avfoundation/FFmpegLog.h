#pragma once
// FFmpeg's own messages go to the console sink, warnings and worse only, or fewer when
// a program lowers FFmpeg's level after this.
namespace avf {

// Idempotent; any thread.
void routeFFmpegLogToConsole();

} // namespace avf
