#include "dsp/Follower.h"

#include <cmath>

Follower::Follower() {
    setSamplerate(48000);
    init();
}

void Follower::setSamplerate(float sr) {
    if (!(sr > 0 && sr <= kMaxSamplerate)) return;
    fSamplerate = sr;
    setAttack(0.01f);
    setRelease(0.5f);
    setDecay(0.0001f);
}

void Follower::setAttack(float seconds) {
    if (!(seconds >= 0 && seconds <= 1)) return;
    fAttack = seconds;
    attackTime = seconds * fSamplerate;
    if (attackTime < 16) attackTime = 16;
    increase = 1.0 / static_cast<double>(attackTime);
}

void Follower::setRelease(float seconds) {
    if (!(seconds >= 0 && seconds <= 10)) return;
    fRelease = seconds;
    releaseTime = seconds * fSamplerate;
    if (releaseTime < 16) releaseTime = 16;
    decrease = 1.0 / static_cast<double>(releaseTime);
}

void Follower::setDecay(float seconds) {
    if (!(seconds >= 0 && seconds <= 1)) return;
    fDecay = seconds;
    decayTime = static_cast<int32_t>(seconds * fSamplerate);
}

void Follower::processSample(const float* sample) {
    Run run(*this);
    run.feed(std::fabs(static_cast<double>(*sample)));
    run.storeTo(*this);
}

float Follower::getPeakInverted() const {
    float p = getPeak();
    if (p < 0)
        p = 0;
    else if (p > 1)
        p = 1;
    return 1 - p;
}
