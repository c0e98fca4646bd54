#pragma once
// Which sink a new engine plays into, in this order: VYK_AUDIO_OUTPUT ("null", or a
// path ending in ".wav"); a WAV file the program was asked for; the sound card, when a
// sound server or a playback device exists (looked for before SDL is asked, so no
// driver noise is printed); otherwise the fallback WAV file, said in one line.
// Thread rules: the main thread (SDL's audio is initialised there).
#include "avfoundation/AudioOutputSink.h"

#include <memory>
#include <string>

namespace avf {

// A launch option's WAV file; empty for none.
void setRequestedWavFile(std::string path);
// Where the audio goes when there is no sound card (default "output.wav").
void setFallbackWavFile(std::string path);

bool soundServerOrDeviceExists();
std::shared_ptr<AudioOutputSink> makeDefaultOutputSink();

} // namespace avf
