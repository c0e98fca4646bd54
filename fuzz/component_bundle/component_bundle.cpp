// Feeds arbitrary bytes to the component bundle reader as a bundle's Info.plist. Whatever
// it accepts must name a module inside the bundle and four-character codes that read
// back as the text they came from.
#include "audiotoolbox/AudioComponentBundle.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A bundle folder with a module file, removed at exit.
struct Bundle {
    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("vyk-fuzz-bundle-" + std::to_string(::getpid()));
    std::string path = (root / "F.appex").string();
    Bundle() {
        std::filesystem::create_directories(path);
        std::ofstream(path + "/F.so") << "module";
    }
    ~Bundle() { std::filesystem::remove_all(root); }
};

const std::string& bundle() {
    static const Bundle folder;
    return folder.path;
}

std::string codeText(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream file(bundle() + "/Info.plist", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const AudioComponentBundleRead read = readAudioComponentBundle(bundle());
    if (!read.info) {
        if (read.error.empty()) std::abort(); // a refusal always says why
        return 0;
    }
    const AudioComponentDescription& d = read.info->description;
    if (read.info->modulePath.rfind(read.info->bundlePath + "/", 0) != 0) std::abort();
    for (OSType code : {d.componentType, d.componentSubType, d.componentManufacturer})
        if (fourCharCode(codeText(code)) != code) std::abort();
    return 0;
}
