#include "shared/Logging.h"

#include "foundation/RunLoop.h"

#include <string>

void safeprint(std::string_view text) {
    std::string line(text);
    line += '\n';
    RunLoop::main().performWrite(std::move(line));
}

void debugprint(std::string_view text) { safeprint(text); }
