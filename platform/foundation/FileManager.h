#pragma once
// Files and folders. Reads are safe on untrusted paths: only regular files are
// read, opened without blocking (a FIFO or a device is refused, never waited
// on), and never beyond a size cap. Writes go to a temporary file in the same
// folder that is renamed over the target, so a failed write leaves the old file
// whole and no partial file behind.
// Thread rules: any thread (no shared state), never the render thread.
#include "foundation/NSError.h"
#include "foundation/URL.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FileManager {
public:
    static FileManager& defaultManager();

    enum class ItemKind { none, regularFile, directory, other };
    // Symbolic links are followed.
    ItemKind kindOfItem(const std::string& path) const;
    bool fileExists(const std::string& path) const { return kindOfItem(path) != ItemKind::none; }

    // Creates the folder (and, if asked, the missing folders above it). True
    // when a folder stands at the path afterwards; a file in the way fails.
    bool createDirectory(const std::string& path, bool withIntermediateDirectories, NSError* error = nullptr) const;

    // The names in a folder, one level, without "." and "..", sorted by byte.
    std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path,
                                                                NSError* error = nullptr) const;

    // The whole content of a regular file of at most `maxBytes` bytes.
    std::optional<std::string> contents(const std::string& path, std::size_t maxBytes, NSError* error = nullptr) const;

    // A symbolic link at the path is kept: the write goes to the file it names, with
    // the temporary file beside that file.
    bool writeAtomically(const std::string& path, std::string_view bytes, NSError* error = nullptr) const;

    // The file a write to `path` replaces: the path with the symbolic links at its
    // end followed (a dangling link names the file the write creates). Nothing when
    // a link cannot be read or the links loop.
    std::optional<std::string> writeDestination(const std::string& path, NSError* error = nullptr) const;

    // The user's documents folder for this system, first entry only:
    // $VYK_WIMBRAX_DOCUMENTS if absolute, else $XDG_DATA_HOME/vyk-wimbrax if
    // absolute, else $HOME/.local/share/vyk-wimbrax with an absolute HOME;
    // empty when none of these is set.
    std::vector<URL> documentDirectoryURLs() const;
};
