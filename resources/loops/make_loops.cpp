// make_loops <folder>: writes the host's loops 1.m4a to 80.m4a into the folder, the
// loops shared between two threads. Each decodes with its peak at or below -1 dBFS.
#include "AacWriter.h"
#include "LoopSynth.h"
#include "avfoundation/FFmpegLog.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_loops <folder>\n");
        return 2;
    }
    // Reading a loop back routes FFmpeg's lines to the console, once; only errors are
    // wanted here (the muxer warns about the temporary file's name).
    avf::routeFFmpegLogToConsole();
    av_log_set_level(AV_LOG_ERROR);
    const std::string folder = argv[1];
    std::atomic<int> next{1};
    std::atomic<bool> failed{false};
    auto work = [&] {
        for (int n = next++; n <= loops::kLoopCount && !failed; n = next++) {
            const loops::StereoLoop loop = loops::synthesize(n);
            const std::string path = folder + "/" + std::to_string(n) + ".m4a";
            const std::string error =
                loops::writeAac(path, loop.left, loop.right, loops::kSampleRate, 128000, loops::kDecodedPeakCeiling);
            if (!error.empty()) {
                std::fprintf(stderr, "make_loops: %s: %s\n", path.c_str(), error.c_str());
                failed = true;
            }
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    return failed ? 1 : 0;
}
