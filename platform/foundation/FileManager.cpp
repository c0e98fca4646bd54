#include "foundation/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <utility>

namespace {

bool report(NSError* error, NSError value) {
    if (error) *error = std::move(value);
    return false;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

const char* absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

} // namespace

FileManager& FileManager::defaultManager() {
    static FileManager manager;
    return manager;
}

FileManager::ItemKind FileManager::kindOfItem(const std::string& path) const {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return ItemKind::none;
    if (S_ISREG(st.st_mode)) return ItemKind::regularFile;
    if (S_ISDIR(st.st_mode)) return ItemKind::directory;
    return ItemKind::other;
}

bool FileManager::createDirectory(const std::string& path, bool withIntermediateDirectories, NSError* error) const {
    if (path.empty()) return report(error, NSError::posix(ENOENT));
    if (withIntermediateDirectories) {
        const std::string parent = parentOf(path);
        if (parent != path && kindOfItem(parent) != ItemKind::directory && !createDirectory(parent, true, error))
            return false;
    }
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    const int err = errno;
    const ItemKind kind = kindOfItem(path);
    if (err == EEXIST && kind == ItemKind::directory)
        return withIntermediateDirectories || report(error, NSError::posix(EEXIST));
    if (err == EEXIST) return report(error, NSError::posix(ENOTDIR, "a file that is not a folder is in the way"));
    return report(error, NSError::posix(err));
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectory(const std::string& path,
                                                                         NSError* error) const {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir) {
        report(error, NSError::posix(errno));
        return std::nullopt;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    if (errno != 0) {
        report(error, NSError::posix(errno));
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> FileManager::contents(const std::string& path, std::size_t maxBytes, NSError* error) const {
    // O_NONBLOCK: opening a FIFO that has no writer would otherwise wait forever.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        report(error, NSError::posix(errno));
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        report(error, NSError::posix(errno));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        report(error, NSError::posix(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, "not a regular file"));
        return std::nullopt;
    }
    const std::string tooLarge = "the file is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        report(error, NSError::posix(EFBIG, tooLarge));
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t have = 0;
    // The file may grow or shrink while it is read: read to its end, up to the cap.
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() > maxBytes) {
                report(error, NSError::posix(EFBIG, tooLarge));
                return std::nullopt;
            }
            bytes.resize(std::min(maxBytes + 1, std::max<std::size_t>(bytes.size() * 2, 4096)));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            report(error, NSError::posix(errno));
            return std::nullopt;
        }
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    if (have > maxBytes) {
        report(error, NSError::posix(EFBIG, tooLarge));
        return std::nullopt;
    }
    bytes.resize(have);
    return bytes;
}

std::optional<std::string> FileManager::writeDestination(const std::string& path, NSError* error) const {
    std::string current = path;
    for (int links = 0; links < 40; ++links) { // the kernel's own limit
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(std::max<std::size_t>(std::size_t(info.st_size), PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || std::size_t(n) >= target.size()) {
            report(error, NSError::posix(n < 0 ? errno : n == 0 ? ENOENT : ENAMETOOLONG));
            return std::nullopt;
        }
        target.resize(std::size_t(n));
        current = target.front() == '/' ? target : parentOf(current) + "/" + target;
    }
    report(error, NSError::posix(ELOOP));
    return std::nullopt;
}

bool FileManager::writeAtomically(const std::string& linkOrPath, std::string_view bytes, NSError* error) const {
    const auto destination = writeDestination(linkOrPath, error);
    if (!destination) return false;
    const std::string& path = *destination;
    const std::string folder = parentOf(path);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.empty()) return report(error, NSError::posix(EISDIR));
    std::string temporary = folder + "/." + name + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) return report(error, NSError::posix(errno));

    // The new file keeps the old one's permissions, else the usual 0644.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    int err = 0;
    errno = 0;
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0)
        err = errno ? errno : EIO;
    if (::close(fd.release()) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temporary.c_str());
        return report(error, NSError::posix(err));
    }
    return true;
}

std::vector<URL> FileManager::documentDirectoryURLs() const {
    if (const char* documents = absoluteVariable("VYK_WIMBRAX_DOCUMENTS")) return {URL::fileURL(documents)};
    if (const char* data = absoluteVariable("XDG_DATA_HOME"))
        return {URL::fileURL(data).appendingPathComponent("vyk-wimbrax")};
    if (const char* home = absoluteVariable("HOME"))
        return {URL::fileURL(home).appendingPathComponent(".local/share/vyk-wimbrax")};
    return {};
}
