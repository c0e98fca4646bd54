#pragma once
#include <atomic>
#include <cstdint>

// Peak envelope follower: linear attack, hold, linear release.
// Thread rules: the render thread runs processSample (or the Compander's loop);
// getPeak and getPeakInverted may be called from any thread.
class Follower {
public:
    Follower();
    Follower(const Follower&) = delete;
    Follower& operator=(const Follower&) = delete;

    // Rates beyond this would overflow the hold counter.
    static constexpr float kMaxSamplerate = 10'000'000;

    // Stores the rate and re-installs 0.01 s attack, 0.5 s release and
    // 0.0001 s hold. A rate outside 0..kMaxSamplerate (or NaN) is ignored.
    void setSamplerate(float sr);
    // Ignored outside 0..1 s; at least 16 samples.
    void setAttack(float seconds);
    // Ignored outside 0..10 s; at least 16 samples.
    void setRelease(float seconds);
    // Hold time; ignored outside 0..1 s.
    void setDecay(float seconds);
    void init() { reset(); }
    void reset() { currentPeak.store(0, std::memory_order_relaxed); }

    // Updates the envelope from |*sample|; the sample is not changed.
    void processSample(const float* sample);

    float getPeak() const { return static_cast<float>(currentPeak.load(std::memory_order_relaxed)); }
    // 1 - peak, with the peak limited to 0..1.
    float getPeakInverted() const;

    float getAttackTime() const { return attackTime; }
    float getReleaseTime() const { return releaseTime; }
    double getIncrease() const { return increase; }
    double getDecrease() const { return decrease; }
    // Hold length in samples that a rising sample reloads.
    int32_t getHoldReload() const { return static_cast<int32_t>(fDecay * fSamplerate); }

private:
    friend class Compander;

    // One envelope step; shared with the Compander's loop, which keeps the
    // state in registers for a whole block. Written without branches: which
    // case applies changes from sample to sample on real material, and
    // mispredicted branches would cost more than computing every case.
    static void step(double a, double& peak, int32_t& hold, int32_t reload, double increase,
                     double decrease)
    {
        const bool rise = a > peak;
        const bool fall = a < peak;
        const int32_t old = hold;
        const bool release = fall && old <= 0;
        double released = peak - decrease;
        released = released < 0 ? 0 : released;
        const double risen = peak + increase;
        peak = rise ? risen : release ? released : peak;
        hold = rise ? reload : release ? 0 : fall ? old - 1 : old;
    }

    float fSamplerate = 48000;
    float fAttack = 0.01f;
    float fRelease = 1.0f;
    float fDecay = 0.001f;
    float attackTime = 480;
    float releaseTime = 48000;
    int32_t decayTime = 48;
    double increase = 0;
    double decrease = 0;
    std::atomic<double> currentPeak{0};
    static_assert(std::atomic<double>::is_always_lock_free);
};
