#pragma once
// What the audio engine, its files and the session throw: a code and a text for people
// that names what failed and why.
#include <stdexcept>
#include <string>

class AVAudioError : public std::runtime_error {
public:
    AVAudioError(int code, const std::string& description) : std::runtime_error(description), code_(code) {}

    int code() const { return code_; }
    std::string localizedDescription() const { return what(); }

private:
    int code_;
};

// Codes (negative, apart from the errno values a file operation passes on).
constexpr int kAVAudioErrorFileNotReadable = -1;  // missing, unreadable or not audio
constexpr int kAVAudioErrorFormatNotAllowed = -2; // a container or codec we do not open
constexpr int kAVAudioErrorFileTooLong = -3;      // over the length or size limit
constexpr int kAVAudioErrorDecodeFailed = -4;     // corrupt data
constexpr int kAVAudioErrorNotAttached = -5;      // a node outside an engine
constexpr int kAVAudioErrorOutputFailed = -6;     // the output could not be opened
constexpr int kAVAudioErrorSession = -7;          // the session refused a change
constexpr int kAVAudioErrorOutOfMemory = -8;      // the memory for the samples was not had
