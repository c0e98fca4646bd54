#pragma once
// A component bundle on disk: a folder <Name>.appex holding the module and its
// description file Info.plist, a dictionary with these keys:
//   type, subtype, manufacturer   four printable ASCII characters each ("aumf")
//   name                          the component's name for people
//   version, flags                unsigned 32-bit integers
//   module                        the module's file name, a plain name inside the folder
//   factoryFunction               the module's exported factory symbol
// The file is read as hostile input: size-capped, every key checked, and a failure is
// a reason for people, never a crash.
// Thread rules: any thread.
#include "audiotoolbox/AudioComponentDescription.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct AudioComponentBundleInfo {
    AudioComponentDescription description; // flags mask 0
    std::string name;
    std::uint32_t version = 0;
    std::string bundlePath; // the .appex folder, canonical
    std::string modulePath; // the module inside it, canonical
    std::string factoryFunction;
};

struct AudioComponentBundleRead {
    std::optional<AudioComponentBundleInfo> info;
    std::string error; // "<path>: <reason>" when info is empty
};

// Reads the bundle folder at `bundlePath`. The module must exist as a regular file whose
// real path lies inside the bundle's real path.
AudioComponentBundleRead readAudioComponentBundle(const std::string& bundlePath);

// "aumf" -> 0x61756D66; none unless exactly four printable ASCII characters.
std::optional<OSType> fourCharCode(std::string_view text);
