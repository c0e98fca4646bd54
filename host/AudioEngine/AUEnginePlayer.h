#pragma once
// The host's audio engine: plays a loop from the bundle, pass after pass,
//   player node -> the effect (when connected) -> main mixer -> output,
// with start and stop ordered on a serial state queue.
//
// Passes follow each other without a gap: the next pass is always queued
// before the current one ends, and each finished pass is reported once (a
// line and onLoop). Each completion carries the generation of the start that
// queued it, so a late one from before a stop never forks a second chain.
//
// Thread rules: toggle, start, stop, load, connect, disconnect and finalize on
// the main thread; the delegate hears onFileSelect on the caller's thread and
// the state and loop notices on the main queue. Playing flag, file and file
// address are shared with the state queue and the engine's service thread
// under atomics and a mutex. The MIDI output handler runs on the render thread.
#include "audiotoolbox/AUMIDIOutputEventBlock.h"
#include "avfoundation/AVAudioEngine.h"
#include "foundation/DispatchQueue.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class AUEnginePlayerDelegate {
public:
    virtual ~AUEnginePlayerDelegate() = default;
    virtual void onPlayerStateChanged(bool playing) = 0;
    virtual void onFileSelect(const std::string& file) = 0;
    virtual void onLoop(long count) = 0;
};

class AUEnginePlayer : public std::enable_shared_from_this<AUEnginePlayer> {
public:
    // Plays into the environment's output (HostEnvironment.h). Main thread.
    static std::shared_ptr<AUEnginePlayer> make();
    // Stops the engine and joins its threads before anything else goes.
    ~AUEnginePlayer();
    AUEnginePlayer(const AUEnginePlayer&) = delete;
    AUEnginePlayer& operator=(const AUEnginePlayer&) = delete;

    std::weak_ptr<AUEnginePlayerDelegate> delegate;

    // Starts when stopped, stops when playing; whether it plays afterwards.
    bool toggle();
    void start();
    void stop();
    // Opens a loop and wires it in; false when there is none or it cannot be opened.
    bool load(const std::optional<URL>& url);
    // Puts the unit between player and mixer (none: takes the present one out);
    // the completion runs once, before this returns.
    void connect(std::shared_ptr<AVAudioUnit> avAudioUnit, std::function<void()> completion = {});
    void disconnect();
    void finalize();

    bool isPlaying() const { return isPlaying_.load(); }
    // The unit in the graph (main thread).
    const std::shared_ptr<AVAudioUnit>& activeAVAudioUnit() const { return activeAVAudioUnit_; }
    AVAudioEngine& engine() { return *engine_; }

private:
    AUEnginePlayer();
    void randomizeFile();
    void setSessionActive(bool active);
    void startPlayingInternal();
    void stopPlayingInternal();
    // Queues `passes` passes of the file, each completing into passEnded.
    void scheduleEffectLoop(std::uint64_t generation, int passes);
    void passEnded(std::uint64_t generation, const std::string& path);
    void resetAudioLoop();
    std::shared_ptr<AVAudioFile> currentFile() const;
    // The format of the player's output into the unit: the file's rate, the unit's channels.
    AVAudioFormat unitInputFormat(const AVAudioFile& file) const;

    std::shared_ptr<const AUMIDIOutputEventBlock> midiOutBlock_;
    std::shared_ptr<AVAudioEngine> engine_;
    std::shared_ptr<AVAudioUnit> activeAVAudioUnit_; // main thread
    std::atomic<bool> isPlaying_{false};
    std::atomic<std::uint64_t> generation_{0};
    long loopCount_ = 0; // main thread
    DispatchQueue stateChangeQueue_{"com.falnor.AUEnginePlayer.stateQueue"};
    std::shared_ptr<AVAudioPlayerNode> player_;
    mutable std::mutex fileMutex_;
    std::shared_ptr<AVAudioFile> file_; // under fileMutex_
    std::optional<URL> fileURL_;        // under fileMutex_
};
