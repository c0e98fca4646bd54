#include "avfoundation/AVAudioEngine.h"

#include "avfoundation/AudioOutputChoice.h"
#include "avfoundation/RenderPlan.h"
#include "foundation/Console.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr AVAudioFrameCount kLargestSlice = 4096;
const AVAudioFormat kOutputFormat(avf::kOutputSampleRate, avf::kOutputChannels);

} // namespace

AVAudioEngine::AVAudioEngine() : AVAudioEngine(avf::makeDefaultOutputSink()) {}

AVAudioEngine::AVAudioEngine(std::shared_ptr<avf::AudioOutputSink> sink)
    : sink_(std::move(sink)), output_(std::make_shared<AVAudioOutputNode>()) {
    nodes_.push_back(output_);
    output_->engine_.store(this);
    service_ = std::thread([this] { serviceLoop(); });
}

AVAudioEngine::~AVAudioEngine() {
    stop();
    {
        std::lock_guard lock(serviceMutex_);
        serviceQuit_ = true;
    }
    serviceWake_.notify_one();
    service_.join();
    std::lock_guard lock(graphMutex_);
    publishLocked(nullptr);
    for (auto& node : nodes_) {
        if (auto* unit = dynamic_cast<AVAudioUnit*>(node.get())) unit->releaseResources();
        node->engine_.store(nullptr);
    }
}

bool AVAudioEngine::isAttachedLocked(const AVAudioNode* node) const {
    return std::any_of(nodes_.begin(), nodes_.end(), [&](const auto& n) { return n.get() == node; });
}

void AVAudioEngine::attach(const std::shared_ptr<AVAudioNode>& node) {
    if (!node) return;
    std::lock_guard lock(graphMutex_);
    if (node->engine() == this) return;
    if (node->engine() != nullptr) {
        Console::write("AVAudioEngine: ERROR: attach: the node is attached to another engine.\n");
        return;
    }
    nodes_.push_back(node);
    node->engine_.store(this);
    if (auto* unit = dynamic_cast<AVAudioUnit*>(node.get())) unit->renderStatus_ = &renderStatus_;
    if (auto player = std::dynamic_pointer_cast<AVAudioPlayerNode>(node)) {
        std::lock_guard serviceLock(serviceMutex_);
        if (std::find(players_.begin(), players_.end(), player) == players_.end()) players_.push_back(player);
    }
}

void AVAudioEngine::detach(const std::shared_ptr<AVAudioNode>& node) {
    if (!node) return;
    std::lock_guard lock(graphMutex_);
    if (!isAttachedLocked(node.get()) || node == output_ || node == mainMixer_) {
        Console::write("AVAudioEngine: ERROR: detach: the node is not attached, or is the engine's own.\n");
        return;
    }
    std::erase_if(connections_,
                  [&](const Connection& c) { return c.source == node.get() || c.destination == node.get(); });
    std::erase(nodes_, node);
    rebuildPlanLocked(); // the node leaves the live plan here
    if (auto* unit = dynamic_cast<AVAudioUnit*>(node.get())) unit->releaseResources();
    if (auto* player = dynamic_cast<AVAudioPlayerNode*>(node.get())) player->stop();
    node->engine_.store(nullptr);
}

void AVAudioEngine::connect(const std::shared_ptr<AVAudioNode>& source, const std::shared_ptr<AVAudioNode>& destination,
                            std::optional<AVAudioFormat> format) {
    std::lock_guard lock(graphMutex_);
    if (!source || !destination || !isAttachedLocked(source.get()) || !isAttachedLocked(destination.get()) ||
        source == destination || source == output_) {
        Console::write("AVAudioEngine: ERROR: connect: both nodes must be attached to this engine, "
                       "and differ.\n");
        return;
    }
    AVAudioNodeBus bus = 0;
    if (destination->takesManyInputs()) {
        auto same = std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
            return c.source == source.get() && c.destination == destination.get();
        });
        if (same != connections_.end()) {
            bus = same->destinationBus;
        } else {
            while (std::any_of(connections_.begin(), connections_.end(), [&](const Connection& c) {
                return c.destination == destination.get() && c.destinationBus == bus;
            }))
                ++bus;
        }
    }
    std::erase_if(connections_, [&](const Connection& c) {
        return c.source == source.get() || (c.destination == destination.get() && c.destinationBus == bus);
    });
    const AVAudioFormat requested = format ? *format : source->outputFormat(0);
    const AVAudioFormat used(avf::kOutputSampleRate, requested.channelCount());
    setFormatLocked(*source, false, used);
    if (!destination->takesManyInputs()) setFormatLocked(*destination, true, used);
    connections_.push_back(Connection{source.get(), destination.get(), bus, used});
    rebuildPlanLocked();
}

void AVAudioEngine::disconnectNodeInput(const std::shared_ptr<AVAudioNode>& node) {
    if (!node) return;
    std::lock_guard lock(graphMutex_);
    std::erase_if(connections_, [&](const Connection& c) { return c.destination == node.get(); });
    rebuildPlanLocked();
}

std::shared_ptr<AVAudioMixerNode> AVAudioEngine::mainMixerNode() {
    {
        std::lock_guard lock(graphMutex_);
        if (mainMixer_) return mainMixer_;
    }
    auto mixer = std::make_shared<AVAudioMixerNode>();
    attach(mixer);
    connect(mixer, output_, kOutputFormat);
    std::lock_guard lock(graphMutex_);
    mainMixer_ = mixer;
    return mainMixer_;
}

void AVAudioEngine::setFormatLocked(AVAudioNode& node, bool input, const AVAudioFormat& format) {
    if (auto* unit = dynamic_cast<AVAudioUnit*>(&node);
        unit != nullptr && unit->formatChanges(input, format) && unit->auAudioUnit()->renderResourcesAllocated()) {
        // The unit's buffers were sized for the old format: take it out of rendering,
        // reallocate when the plan is rebuilt.
        publishLocked(nullptr);
        unit->releaseResources();
    }
    if (input)
        node.setInputFormat(format);
    else
        node.setOutputFormat(format);
}

void AVAudioEngine::prepare() {
    std::lock_guard lock(graphMutex_);
    prepared_ = true;
    rebuildPlanLocked();
}

void AVAudioEngine::start() {
    std::lock_guard lock(graphMutex_);
    if (running_.load()) return;
    if (!prepared_) {
        prepared_ = true;
        rebuildPlanLocked();
    }
    sink_->start(*this);
    running_.store(true);
    wakeService();
}

void AVAudioEngine::stop() {
    std::lock_guard lock(graphMutex_);
    if (!running_.load()) return;
    sink_->stop(); // the render thread never takes the graph lock
    running_.store(false);
}

void AVAudioEngine::rebuildPlanLocked() {
    if (!prepared_) return;
    // The nodes that reach the output, in pull order (inputs before their reader).
    std::vector<AVAudioNode*> order;
    std::map<AVAudioNode*, std::vector<AVAudioNode*>> inputs;
    std::map<AVAudioNode*, bool> done; // false while on the path (a cycle is cut there) or left out
    // A unit that cannot render is left out with everything upstream of it, so a player
    // behind it keeps its place instead of playing into nothing.
    AVAudioFrameCount slice = kLargestSlice;
    auto visit = [&](auto&& self, AVAudioNode* node) -> bool {
        if (auto it = done.find(node); it != done.end()) return it->second;
        if (auto* unit = dynamic_cast<AVAudioUnit*>(node)) {
            if (!unit->prepareToRender()) {
                done[node] = false;
                return false;
            }
            slice = std::clamp<AVAudioFrameCount>(unit->auAudioUnit()->maximumFramesToRender(), 1, slice);
        }
        done[node] = false;
        std::vector<const Connection*> feeding;
        for (const Connection& c : connections_)
            if (c.destination == node) feeding.push_back(&c);
        std::sort(feeding.begin(), feeding.end(),
                  [](const Connection* a, const Connection* b) { return a->destinationBus < b->destinationBus; });
        for (const Connection* c : feeding)
            if (self(self, c->source)) inputs[node].push_back(c->source);
        done[node] = true;
        order.push_back(node);
        return true;
    };
    visit(visit, output_.get());

    auto plan = std::make_unique<avf::RenderPlan>();
    plan->slice = slice;
    std::map<AVAudioNode*, const avf::RenderStep*> steps;
    for (AVAudioNode* node : order) {
        std::vector<const avf::RenderStep*> from;
        for (AVAudioNode* input : inputs[node])
            if (auto it = steps.find(input); it != steps.end()) from.push_back(it->second);
        const AVAudioFormat format = node == output_.get() ? kOutputFormat : node->outputFormat(0);
        auto step = node->makeRenderStep(format, slice, std::move(from));
        if (!step) continue;
        step->node = node->shared_from_this();
        steps[node] = step.get();
        plan->last = step.get();
        plan->steps.push_back(std::move(step));
    }
    publishLocked(plan.release());
}

void AVAudioEngine::publishLocked(avf::RenderPlan* plan) {
    std::unique_ptr<avf::RenderPlan> old(plan_.exchange(plan));
    if (old) waitForRenderPass();
}

void AVAudioEngine::waitForRenderPass() const {
    const std::uint64_t cycle = cycle_.load();
    if ((cycle & 1) == 0) return; // no render call holds a plan
    while (cycle_.load() == cycle) std::this_thread::sleep_for(std::chrono::microseconds(50));
}

void AVAudioEngine::render(float* const* channels, std::uint32_t frames) {
    cycle_.fetch_add(1);
    const avf::RenderPlan* plan = plan_.load();
    if (plan == nullptr || plan->last == nullptr) {
        for (std::uint32_t c = 0; c < avf::kOutputChannels; ++c) std::memset(channels[c], 0, frames * sizeof(float));
        sampleTime_ += frames;
    } else {
        const avf::RenderStep& out = *plan->last;
        for (std::uint32_t done = 0; done < frames;) {
            const std::uint32_t n = std::min(plan->slice, frames - done);
            const AudioTimeStamp time{sampleTime_, 0, kAudioTimeStampSampleTimeValid};
            for (const auto& step : plan->steps) step->render(time, n);
            for (std::uint32_t c = 0; c < avf::kOutputChannels; ++c)
                std::memcpy(channels[c] + done, out.data[c], n * sizeof(float));
            done += n;
            sampleTime_ += n;
        }
    }
    cycle_.fetch_add(1);
}

void AVAudioEngine::wakeService() {
    {
        std::lock_guard lock(serviceMutex_);
        serviceWoken_ = true;
    }
    serviceWake_.notify_one();
}

void AVAudioEngine::serviceLoop() {
    AUAudioUnitStatus reported = 0;
    std::unique_lock lock(serviceMutex_);
    while (!serviceQuit_) {
        const auto players = players_;
        lock.unlock();
        for (const auto& player : players) player->runFinishedCompletions();
        const AUAudioUnitStatus status = renderStatus_.exchange(0, std::memory_order_relaxed);
        // Once per distinct status: a unit failing every cycle says so once.
        if (status != 0 && status != reported) {
            Console::write("AVAudioEngine: ERROR: An audio unit failed to render (status " + std::to_string(status) +
                           "); it plays silence.\n");
            reported = status;
        }
        lock.lock();
        // While running, finished segments appear without a wake-up (the render thread
        // makes no system call), so look every 2 ms.
        if (!serviceWoken_ && !serviceQuit_) {
            if (running_.load())
                serviceWake_.wait_for(lock, std::chrono::milliseconds(2));
            else
                serviceWake_.wait(lock, [this] { return serviceWoken_ || serviceQuit_; });
        }
        serviceWoken_ = false;
    }
}
