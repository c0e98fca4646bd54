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

    // A follower's envelope held in locals for a run of samples (the
    // Compander keeps two for a whole block, so the state is not written back
    // to memory between samples).
    class Run {
    public:
        explicit Run(const Follower& f);
        void feed(double a);
        double peak() const;
        // Writes the envelope and the hold counter back.
        void storeTo(Follower& f) const;

    private:
        double peak_, up_, down_;
        int32_t hold_, reload_;
    };

private:
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

inline Follower::Run::Run(const Follower& f)
    : peak_(f.currentPeak.load(std::memory_order_relaxed)), up_(f.increase), down_(f.decrease), hold_(f.decayTime),
      reload_(f.getHoldReload()) {}

// With a = |sample|: above the envelope it rises by `increase` and the hold
// reloads; below it the hold counts down, and once it has run out the
// envelope falls by `decrease`, never below 0; equal, nothing changes.
// The common case (falling with the hold run out) is tested first: its test
// implies the others fail and its body is the one the general case runs, so
// the order only changes how fast the branch resolves.
// The likelihood marks only lay that case out as the straight path, which spares the
// envelope loops taken jumps; what runs for each sample is the same.
inline void Follower::Run::feed(double a) {
    if (a < peak_ && hold_ <= 0) [[likely]] {
        hold_ = 0;
        peak_ -= down_;
        if (peak_ < 0) [[unlikely]]
            peak_ = 0;
    } else if (a > peak_) {
        peak_ += up_;
        hold_ = reload_;
    } else if (a < peak_) {
        const int32_t old = hold_;
        hold_ = old - 1;
        if (old <= 0) {
            hold_ = 0;
            peak_ -= down_;
            if (peak_ < 0) peak_ = 0;
        }
    }
}

inline double Follower::Run::peak() const { return peak_; }

inline void Follower::Run::storeTo(Follower& f) const {
    f.decayTime = hold_;
    f.currentPeak.store(peak_, std::memory_order_relaxed);
}
