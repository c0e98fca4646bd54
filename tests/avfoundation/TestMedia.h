#pragma once
// Audio files made by the tests: WAV written by hand, FLAC and AAC (m4a) through
// FFmpeg's own encoders and muxers, all in a fresh temporary folder.
#include "TestEnvironment.h"

#include <cstdint>
#include <string>
#include <vector>

namespace media {

using Channels = std::vector<std::vector<float>>;

// A new empty folder, removed with its files when the object goes.
using TempFolder = vyk::test::TemporaryFolder;

// 16-bit PCM; samples are rounded to the nearest step of 1/32768.
void writeWav16(const std::string& path, const Channels& audio, int rate);
// 32-bit float, samples as they are (NaN and infinities too).
void writeWavFloat(const std::string& path, const Channels& audio, int rate);
// Encodes `audio` with FFmpeg: "flac" (16-bit) into a .flac or .ogg file, "aac" into
// .m4a. An Ogg file's stream serial number is `serial`, so files may be chained.
void encode(const std::string& path, const std::string& codec, const Channels& audio, int rate, int serial = 1);

// A deterministic test signal: sines per channel with a little noise.
Channels tone(int channels, std::size_t frames, int rate, std::uint32_t seed = 1);
// Quantised to 16 bits, as the WAV and FLAC files hold it.
Channels quantised16(Channels audio);

} // namespace media
