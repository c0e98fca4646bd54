#pragma once
// What a failed file operation reports: the POSIX error number and a text for
// people ("Not a directory", "The file is larger than 4194304 bytes").
#include <string>

struct NSError {
    int code = 0; // an errno value
    std::string localizedDescription;

    static NSError posix(int code);
    static NSError posix(int code, std::string description);
};
