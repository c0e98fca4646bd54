// make_manual <file.pdf>: draws the user manual.
#include "ManualLayout.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_manual <file.pdf>\n");
        return 2;
    }
    const std::string error = manual::writeManual(argv[1], manual::manualText());
    if (!error.empty()) {
        std::fprintf(stderr, "make_manual: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
