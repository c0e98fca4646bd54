#include "host/AudioEngine/AUEnginePlayer.h"

#include "avfoundation/AVAudioError.h"
#include "avfoundation/AVAudioSession.h"
#include "host/HostEnvironment.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

using host::println;

namespace {

int drawLoopNumber() {
    if (host::environment().loopNumber) return host::environment().loopNumber();
    static std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(1, 80)(generator);
}

// Copies what it is given (at most three bytes) before it returns; the line is written
// on the main queue. Posting allocates on the render thread: acceptable because the
// effect forwards no MIDI, so this runs only when a unit sends some on purpose.
std::shared_ptr<const AUMIDIOutputEventBlock> makeMIDIOutBlock() {
    return std::make_shared<const AUMIDIOutputEventBlock>(
        [](AUEventSampleTime sampleTime, std::uint8_t, NSInteger length, const std::uint8_t* bytes) -> OSStatus {
            std::array<std::uint8_t, 3> data{};
            const std::size_t n = bytes ? std::size_t(std::clamp<NSInteger>(length, 0, 3)) : 0;
            if (n > 0) std::memcpy(data.data(), bytes, n);
            DispatchQueue::main().async([sampleTime, length, data, n] {
                if (length != 3) println("AUEnginePlayer::WARNING: The MIDI data length is not as expected.");
                std::string line =
                    "AUEnginePlayer: MIDI event from audio unit at: " + std::to_string(sampleTime) + ", data: ";
                for (std::size_t i = 0; i < n; ++i) line += (i ? ", " : "") + std::to_string(data[i]);
                println(line);
            });
            return 0;
        });
}

} // namespace

std::shared_ptr<AUEnginePlayer> AUEnginePlayer::make() { return std::shared_ptr<AUEnginePlayer>(new AUEnginePlayer); }

AUEnginePlayer::AUEnginePlayer()
    : midiOutBlock_(makeMIDIOutBlock()),
      engine_(host::environment().makeOutputSink ? std::make_shared<AVAudioEngine>(host::environment().makeOutputSink())
                                                 : std::make_shared<AVAudioEngine>()),
      player_(std::make_shared<AVAudioPlayerNode>()) {
    engine_->attach(player_);
}

AUEnginePlayer::~AUEnginePlayer() {
    // Late completions find a new generation and a stopped player; the engine's render
    // and service threads end before the nodes and the file go.
    ++generation_;
    isPlaying_ = false;
    player_->stop();
    engine_->stop();
}

std::shared_ptr<AVAudioFile> AUEnginePlayer::currentFile() const {
    std::lock_guard lock(fileMutex_);
    return file_;
}

AVAudioFormat AUEnginePlayer::unitInputFormat(const AVAudioFile& file) const {
    const AVAudioChannelCount channels = activeAVAudioUnit_ ? activeAVAudioUnit_->inputFormat(0).channelCount() : 0;
    return AVAudioFormat(file.processingFormat().sampleRate(), channels > 0 ? channels : 2);
}

bool AUEnginePlayer::toggle() {
    isPlaying_ ? stop() : start();
    return isPlaying_;
}

void AUEnginePlayer::randomizeFile() {
    const std::string name = std::to_string(drawLoopNumber());
    const std::optional<URL> url = host::resourceURL(name, "m4a");
    {
        std::lock_guard lock(fileMutex_);
        fileURL_ = url;
    }
    if (!url) {
        println("AUEnginePlayer::ERROR: The audio file '" + name +
                ".m4a' was not found inside the resource folder for the app.");
        return;
    }
    if (!load(url)) return;
    println(url->path());
    engine_->prepare();
}

bool AUEnginePlayer::load(const std::optional<URL>& url) {
    loopCount_ = 0;
    if (!url) {
        println("AUEnginePlayer::ERROR: No file URL given.");
        return false;
    }
    println("AUEnginePlayer: Audio file at '" + url->path() + "' was selected for loading into the player.");
    {
        std::lock_guard lock(fileMutex_);
        fileURL_ = url;
    }
    std::shared_ptr<AVAudioFile> opened;
    try {
        opened = std::make_shared<AVAudioFile>(*url);
    } catch (const AVAudioError& error) {
        println("AUEnginePlayer::ERROR: Could not create AVAudioFile instance for URL '" + url->absoluteString() +
                "'. error: " + error.localizedDescription() + ".");
        return false;
    }
    {
        std::lock_guard lock(fileMutex_);
        file_ = opened;
    }
    if (auto d = delegate.lock()) d->onFileSelect(url->path());

    const bool playing = isPlaying_;
    const auto mixer = engine_->mainMixerNode();
    if (playing) player_->stop();
    engine_->disconnectNodeInput(mixer);
    if (activeAVAudioUnit_) {
        println("AUEnginePlayer: Player was (temporarily) disconnecting from the main mixer.");
        engine_->disconnectNodeInput(activeAVAudioUnit_);
        println("AUEnginePlayer: Audio unit was (temporarily) disconnecting from the player.");
        engine_->connect(player_, activeAVAudioUnit_, unitInputFormat(*opened));
        println(std::to_string(opened->processingFormat().channelCount()));
        println("AUEnginePlayer: Audio unit re-connecting to the player.");
        engine_->connect(activeAVAudioUnit_, mixer, std::nullopt);
        println("AUEnginePlayer: Audio unit re-connectingto the main mixer.");
    } else {
        engine_->connect(player_, mixer, opened->processingFormat());
        println("AUEnginePlayer: The player was connected to the mainMixerNode.");
    }
    if (playing) player_->play();
    return true;
}

void AUEnginePlayer::start() {
    loopCount_ = 0;
    randomizeFile();
    bool started = false;
    stateChangeQueue_.sync([&] {
        if (isPlaying_) return;
        startPlayingInternal();
        started = isPlaying_;
    });
    if (!started) return;
    DispatchQueue::main().async([weak = weak_from_this()] {
        println("AUEnginePlayer: Audio engine starting.");
        if (auto self = weak.lock())
            if (auto d = self->delegate.lock()) d->onPlayerStateChanged(true);
    });
}

void AUEnginePlayer::startPlayingInternal() {
    setSessionActive(true);
    scheduleEffectLoop(generation_, 2);
    engine_->connect(engine_->mainMixerNode(), engine_->outputNode(), engine_->outputNode()->outputFormat(0));
    try {
        engine_->start();
        player_->play();
        isPlaying_ = true;
    } catch (const AVAudioError& error) {
        isPlaying_ = false;
        println("AUEnginePlayer::ERROR: Could not start audio engine. error: " + error.localizedDescription() + ".");
        // Nothing of the failed start stays: its passes are flushed as stale.
        ++generation_;
        player_->stop();
        setSessionActive(false);
    }
}

void AUEnginePlayer::scheduleEffectLoop(std::uint64_t generation, int passes) {
    std::shared_ptr<AVAudioFile> file;
    std::string path;
    {
        std::lock_guard lock(fileMutex_);
        file = file_;
        path = file_ ? file_->url().path() : "";
    }
    if (!file) {
        println("AUEnginePlayer::ERROR: `file` parameter must not be nil.");
        return;
    }
    for (int i = 0; i < passes; ++i)
        player_->scheduleFile(file, [weak = weak_from_this(), generation, path, queue = stateChangeQueue_] {
            queue.async([weak, generation, path] {
                if (auto self = weak.lock()) self->passEnded(generation, path);
            });
        });
}

void AUEnginePlayer::passEnded(std::uint64_t generation, const std::string& path) {
    if (!isPlaying_ || generation != generation_) return;
    DispatchQueue::main().async([weak = weak_from_this(), generation, path] {
        auto self = weak.lock();
        if (!self || generation != self->generation_) return;
        if (auto d = self->delegate.lock()) d->onLoop(self->loopCount_);
        ++self->loopCount_;
        println("AUEnginePlayer: Current audio file '" + path + "' looped: " + std::to_string(self->loopCount_) + ".");
    });
    scheduleEffectLoop(generation, 1);
}

void AUEnginePlayer::stop() {
    bool stopped = false;
    stateChangeQueue_.sync([&] {
        if (!isPlaying_) return;
        stopPlayingInternal();
        stopped = true;
    });
    if (!stopped) return;
    DispatchQueue::main().async([weak = weak_from_this()] {
        println("AUEnginePlayer: Audio engine stopping.");
        if (auto self = weak.lock())
            if (auto d = self->delegate.lock()) d->onPlayerStateChanged(false);
    });
}

void AUEnginePlayer::stopPlayingInternal() {
    ++generation_;
    player_->stop();
    engine_->stop();
    isPlaying_ = false;
    setSessionActive(false);
}

void AUEnginePlayer::setSessionActive(bool active) {
    AVAudioSession& session = AVAudioSession::sharedInstance();
    try {
        session.setCategory(AVAudioSessionCategoryPlayback, AVAudioSessionModeDefault, 0);
        session.setActive(active, 0);
        println("AUEnginePlayer: Audio session was set active.");
    } catch (const AVAudioError& error) {
        println(std::string("AUEnginePlayer::ERROR: Could not set audio session active ") +
                (active ? "true" : "false") + ". system error: " + error.localizedDescription() + ".");
    }
}

void AUEnginePlayer::connect(std::shared_ptr<AVAudioUnit> avAudioUnit, std::function<void()> completion) {
    println(avAudioUnit ? "AUEnginePlayer: A new audio unit will be connected."
                        : "AUEnginePlayer::WARNING: Function connect() with argument 'nil' causes disconnection.");
    bool needsReset = true;
    const auto mixer = engine_->mainMixerNode();
    if (activeAVAudioUnit_) {
        engine_->disconnectNodeInput(activeAVAudioUnit_);
        engine_->disconnectNodeInput(mixer);
        resetAudioLoop();
        needsReset = false;
        engine_->detach(activeAVAudioUnit_);
        println("AUEnginePlayer: Audio unit was disconnecting and detaching.");
        activeAVAudioUnit_.reset();
    }
    activeAVAudioUnit_ = avAudioUnit;
    engine_->connect(mixer, engine_->outputNode(), engine_->outputNode()->outputFormat(0));
    if (isPlaying_) player_->pause();
    auto rewiringComplete = [&] {
        if (isPlaying_) player_->play();
        if (completion) completion();
    };
    if (!avAudioUnit) {
        if (needsReset) resetAudioLoop();
        rewiringComplete();
        println("AUEnginePlayer: The audio unit was set to 'nil'.");
        return;
    }
    const auto& unit = avAudioUnit->auAudioUnit();
    if (!unit->MIDIOutputNames().empty()) {
        println("AUEnginePlayer: The audio unit reports MIDI output names. Assigning a handling block.");
        unit->setMIDIOutputEventBlock(midiOutBlock_);
    }
    engine_->attach(avAudioUnit);
    println("AUEnginePlayer: Audio unit was attached.");
    engine_->disconnectNodeInput(mixer);
    if (const auto file = currentFile()) {
        engine_->connect(player_, avAudioUnit, unitInputFormat(*file));
        println("AUEnginePlayer: Audio Unit was connected to the player.");
        engine_->connect(avAudioUnit, mixer, std::nullopt);
        println("AUEnginePlayer: Audio Unit was connected to the main mixer.");
    } else {
        println("AUEnginePlayer::ERROR: There was a problem with the file processing format or the file is nil (yet).");
    }
    rewiringComplete();
}

void AUEnginePlayer::resetAudioLoop() {
    if (const auto file = currentFile()) {
        engine_->connect(player_, engine_->mainMixerNode(), file->processingFormat());
    } else {
        println("AUEnginePlayer: ERROR: There is a problem with the audio file processing format.");
    }
}

void AUEnginePlayer::disconnect() {
    connect(nullptr, [] { println("AUEnginePlayer: Performed audio unit disconnection."); });
}

void AUEnginePlayer::finalize() {
    stop();
    disconnect();
}
