#pragma once
// The fixed chromatic scale of the analysers: 140 tones from three semitones
// below MIDI note 0 up to note 136, each bounded by the quarter tones around it
// and holding the spectrum bins sorted into it, with per-note sums averaged
// over the frames analysed since they were last read.
// Thread rules: one thread per scale; `Scala::names` shares its result buffer
// among all callers of getName, who copy it at once.
#include <cstdint>

#include "dsp/kvt/CPointerList.h"

namespace SPECTRO {

// One spectrum bin as the chromatic assignment files it.
struct Bin {
    float magnitude;
    float frequency;
    float phase;
};

class Names {
public:
    constexpr Names() = default;

    // The note text ("C ", "C#", ...) followed by the octave number; "-" outside
    // notes 0..127. The result is overwritten by the next call.
    const char* getName(int note, int octave);
    // 1 for a white key, 0 for a black one, -1 outside notes 0..127.
    static int getWhite(int note);
    // getName into a caller's buffer of `size` bytes (cut to fit).
    static void writeName(int note, int octave, char* out, int size);

private:
    char result[8] = {};
};

class Tone {
public:
    Tone() = default;
    ~Tone() { clear(); }
    Tone(const Tone&) = delete;
    Tone& operator=(const Tone&) = delete;

    // Deletes every bin record, then empties the list.
    void clear();
    float getSum();

    KVT::CPointerList bins;
    int32_t exclusive = 0;
    int32_t index = -1;
    int32_t note = -1;
    int32_t octave = -2;
    int32_t group = -1;
    int32_t white = -1;
    float lowerfreq = 0;
    float centerfreq = 0;
    float upperfreq = 0;
    char name[5] = {};
};

class Scala {
public:
    static constexpr int toneCount = 140;

    Scala();
    Scala(const Scala&) = delete;
    Scala& operator=(const Scala&) = delete;

    void clear();
    // Adds each tone's sum to the per-note sums for notes from <= n < to.
    void chromaticScaleSums(int from, int to);
    // Averages (and optionally normalises) the sums in place for the notes
    // from <= n < to, marks them read, and returns the 140 per-note values.
    float* getChromatic(int from, int to, bool normalize);

    Tone tones[toneCount];
    float chromatic[toneCount] = {};
    float spectrum[toneCount] = {};
    bool clearChromatic = false;
    int32_t chromaticCount = 0;

    static Names names;
};

// Sorts bins 0..n2 into the tones of scala by their estimated frequencies (one
// record per bin) and, when map is given, writes each bin's tone index to it.
void assignChromatic(Scala& scala, int32_t* map, const float* freq, const float* mag, const float* phase, int n2);

} // namespace SPECTRO
