#pragma once
// Decodes a whole audio file to float channels with FFmpeg, independently of the
// platform's audio file, so the loops are checked by a second reader. The result is
// trimmed to the stream's declared duration (the encoder's end padding).
#include <string>
#include <vector>

struct DecodedAudio {
    int sampleRate = 0;
    std::vector<std::vector<float>> channels;
    std::string error;
};

DecodedAudio decodeAudio(const std::string& path);
