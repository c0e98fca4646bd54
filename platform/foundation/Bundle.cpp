#include "foundation/Bundle.h"

#include "foundation/FileManager.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace {

std::string executablePath() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return path;
}

std::string platformLibraryPath() {
    Dl_info info{};
    static const int anchor = 0;
    if (::dladdr(&anchor, &info) == 0 || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    return ::realpath(info.dli_fname, resolved) ? std::string(resolved) : std::string();
}

bool inLayout(const URL& binary, std::string_view folderName) {
    return binary.deletingLastPathComponent().lastPathComponent() == folderName;
}

} // namespace

Bundle Bundle::forBinary(const std::string& binaryPath) {
    const URL binary = URL::fileURL(binaryPath);
    const URL folder = binary.deletingLastPathComponent();
    if (inLayout(binary, "bin") || inLayout(binary, "lib")) return Bundle(folder.deletingLastPathComponent());
    return Bundle(folder);
}

const Bundle& Bundle::main() {
    static const Bundle bundle = [] {
        const std::string executable = executablePath();
        if (inLayout(URL::fileURL(executable), "bin")) return forBinary(executable);
        const std::string library = platformLibraryPath();
        return forBinary(library.empty() ? executable : library);
    }();
    return bundle;
}

std::optional<URL> Bundle::folder(std::string_view name) const {
    URL url = bundleURL_.appendingPathComponent(name);
    if (FileManager::defaultManager().kindOfItem(url.path()) != FileManager::ItemKind::directory) return std::nullopt;
    return url;
}

std::optional<URL> Bundle::resourceURL() const { return folder("Resources"); }

std::optional<URL> Bundle::builtInPlugInsURL() const { return folder("PlugIns"); }

std::optional<URL> Bundle::url(std::string_view resource, std::string_view extension) const {
    const auto resources = resourceURL();
    if (!resources) return std::nullopt;
    URL url = resources->appendingPathComponent(resource);
    if (!extension.empty()) url = url.appendingPathExtension(extension);
    if (FileManager::defaultManager().kindOfItem(url.path()) != FileManager::ItemKind::regularFile) return std::nullopt;
    return url;
}
