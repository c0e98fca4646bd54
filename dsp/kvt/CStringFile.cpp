// Whole-file loading and saving of a string.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "dsp/kvt/CString.h"
#include "foundation/Console.h"
#include "foundation/FileManager.h"

namespace KVT {

namespace {

void print(const char* format, const char* path) {
    char line[4096];
    std::snprintf(line, sizeof line, format, path);
    Console::write(line);
}

// The largest file a string can hold (its buffer needs Padding(size) bytes).
constexpr int64_t maxFileSize = INT32_MAX - 8;

} // namespace

int CString::operator<<(const char* path) {
    if (!path) return 0;
    Clear();
    // Directories and devices open under "rb" but have no size to load.
    struct stat info {};
    std::FILE* file = nullptr;
    if (::stat(path, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxFileSize) file = std::fopen(path, "rb");
    if (!file) {
        print("\nERROR: File '%s' could not be opened for loading.", path);
        return 0;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || size > maxFileSize || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return 0;
    }
    char* buffer = size > 0 ? static_cast<char*>(CAlloc(Padding(size), 1)) : nullptr;
    if (buffer) {
        // A short read keeps the file's size; the missing tail reads as zeros.
        if (std::fread(buffer, 1, static_cast<size_t>(size), file) < static_cast<size_t>(size))
            Console::write("\nERROR: While reading file.");
        adopt(buffer, static_cast<int>(size));
    }
    std::fclose(file);
    return length;
}

int CString::operator>>(const char* path) {
    if (!path) return 0;
    if (!hasBytes()) {
        Console::write("\nError: String object is empty.");
        return 0;
    }
    // Written beside the target and renamed over it, so a failed save leaves
    // the old file as it was. A symbolic link stays: its file is the target.
    const std::string target = FileManager::defaultManager().writeDestination(path).value_or(path);
    const std::string temporary = target + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        print("\nERROR: File '%s' could not be opened for saving.", path);
        return 0;
    }
    bool ok = std::fwrite(data, 1, static_cast<size_t>(length), file) == static_cast<size_t>(length);
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        Console::write("\nERROR: While writing file.");
        std::remove(temporary.c_str());
    }
    return 0;
}

} // namespace KVT
