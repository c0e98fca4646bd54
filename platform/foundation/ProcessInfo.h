#pragma once
// Facts about the running process.
// Thread rules: any thread.
#include <string>

class ProcessInfo {
public:
    static const ProcessInfo& processInfo();

    std::string processName() const;
    int processIdentifier() const;
    // 128 random bits from the kernel written as a version-4 UUID in upper
    // case ("3F2504E0-4F89-41D3-9A0C-0305E82C3301"): unique across calls and
    // runs, never derived from a counter or the time.
    std::string globallyUniqueString() const;
};
