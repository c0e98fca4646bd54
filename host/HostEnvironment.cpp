#include "host/HostEnvironment.h"

#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/FileManager.h"

#ifndef VYK_MAKER_URL
#define VYK_MAKER_URL "https://www.example.com/"
#endif

namespace host {

Environment& environment() {
    static Environment e;
    return e;
}

std::optional<URL> resourceURL(const std::string& name, const std::string& extension) {
    const auto& folder = environment().resourceFolder;
    if (!folder) return Bundle::main().url(name, extension);
    const URL url = folder->appendingPathComponent(name).appendingPathExtension(extension);
    if (FileManager::defaultManager().kindOfItem(url.path()) != FileManager::ItemKind::regularFile) return std::nullopt;
    return url;
}

URL makerURL() {
    static const URL url = URL::parse(VYK_MAKER_URL).value_or(*URL::parse("https://www.example.com/"));
    return url;
}

void println(const std::string& line) { Console::write(line + "\n"); }

} // namespace host
