#include "avfoundation/FFmpegLog.h"

#include "foundation/Console.h"

#include <cstdarg>
#include <mutex>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

namespace avf {
namespace {

void toConsole(void* avcl, int level, const char* fmt, va_list vl) {
    // A program may ask FFmpeg for fewer lines still (av_log_set_level).
    if (level > AV_LOG_WARNING || level > av_log_get_level()) return;
    // A message may arrive in pieces; the prefix belongs to the first piece only.
    thread_local int printPrefix = 1;
    const bool first = printPrefix != 0;
    char line[1024];
    av_log_format_line2(avcl, level, fmt, vl, line, sizeof line, &printPrefix);
    Console::write(first ? std::string("FFmpeg: ") + line : std::string(line));
}

} // namespace

void routeFFmpegLogToConsole() {
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_WARNING);
        av_log_set_callback(toConsole);
    });
}

} // namespace avf
