#pragma once
// Writes stereo float audio as AAC-LC in an MPEG-4 audio file (.m4a) through FFmpeg's
// own encoder. The output is bit-exact for the same input (no tool version or time is
// stored), and written to a temporary file renamed at the end, so a failed or
// interrupted run leaves no partial file.
//
// The encoder overshoots on bright transients, so the file is read back as the host
// reads it (the platform's AVAudioFile) and, while its peak is above `peakCeiling`, the
// audio is scaled down and encoded again. Only a file that holds is renamed into place.
#include <string>
#include <vector>

namespace loops {

// Empty on success, else the reason.
std::string writeAac(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
                     int sampleRate, int bitRate, double peakCeiling);

} // namespace loops
