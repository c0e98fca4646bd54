#include "foundation/ProcessInfo.h"

#include "foundation/Console.h"

#include <errno.h>
#include <sys/random.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

bool kernelRandom(std::uint8_t* out, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        const ssize_t n = ::getrandom(out + have, size - have, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        have += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

const ProcessInfo& ProcessInfo::processInfo() {
    static const ProcessInfo info;
    return info;
}

std::string ProcessInfo::processName() const { return program_invocation_short_name; }

int ProcessInfo::processIdentifier() const { return static_cast<int>(::getpid()); }

std::string ProcessInfo::globallyUniqueString() const {
    std::uint8_t bits[16];
    if (!kernelRandom(bits, sizeof bits)) {
        // Without the kernel's random source no unique name can be promised.
        Console::write("ProcessInfo: the kernel's random source (getrandom) failed\n");
        std::abort();
    }
    bits[6] = static_cast<std::uint8_t>((bits[6] & 0x0F) | 0x40); // version 4
    bits[8] = static_cast<std::uint8_t>((bits[8] & 0x3F) | 0x80); // RFC 4122 variant
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
        out += digits[bits[i] >> 4];
        out += digits[bits[i] & 15];
    }
    return out;
}
