#pragma once
// The error a unit's construction, render-resource allocation or preset read throws:
// a status code and a text for people.
#include "audiotoolbox/AUAudioTypes.h"

#include <stdexcept>
#include <string>

class AUAudioUnitError : public std::runtime_error {
public:
    AUAudioUnitError(OSStatus code, const std::string& description) : std::runtime_error(description), code_(code) {}

    OSStatus code() const { return code_; }
    std::string localizedDescription() const { return what(); }

private:
    OSStatus code_;
};

// Statuses of the unit's own operations (the render statuses are in AUAudioStatus.h).
constexpr OSStatus kAudioUnitErr_FormatNotSupported = -10868;
constexpr OSStatus kAudioUnitErr_InvalidFile = -10871;
constexpr OSStatus kAudioUnitErr_FailedInitialization = -10875;
constexpr OSStatus kAudioUnitErr_InvalidProperty = -10879;
