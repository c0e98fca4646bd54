#include "dsp/MIDIOutputBlockHolder.h"

MIDIOutputBlockHolder::~MIDIOutputBlockHolder() {
    for (Node* node = head_.load(std::memory_order_relaxed); node != nullptr;) {
        Node* next = node->next;
        delete node;
        node = next;
    }
}

const MIDIOutputBlockHolder::Node* MIDIOutputBlockHolder::find(const AUMIDIOutputEventBlock* block) const noexcept {
    for (const Node* node = head_.load(std::memory_order_acquire); node != nullptr; node = node->next)
        if (node->block.get() == block) return node;
    return nullptr;
}

const MIDIOutputBlockHolder::Node*
MIDIOutputBlockHolder::add(const std::shared_ptr<const AUMIDIOutputEventBlock>& block) {
    std::lock_guard lock(mutex_);
    if (const Node* held = find(block.get())) return held;
    Node* node = new Node{block, head_.load(std::memory_order_relaxed)};
    head_.store(node, std::memory_order_release);
    return node;
}

void MIDIOutputBlockHolder::select(const std::shared_ptr<const AUMIDIOutputEventBlock>& block) {
    if (block.get() == current()) return;
    if (block && find(block.get()) == nullptr) add(block);
    current_.store(block.get(), std::memory_order_release);
}

void MIDIOutputBlockHolder::keep(const std::shared_ptr<const AUMIDIOutputEventBlock>& block) {
    if (block) add(block);
}

std::shared_ptr<const AUMIDIOutputEventBlock> MIDIOutputBlockHolder::currentOwned() const {
    std::lock_guard lock(mutex_);
    const Node* node = find(current());
    return node ? node->block : nullptr;
}

void MIDIOutputBlockHolder::release() {
    std::lock_guard lock(mutex_);
    const AUMIDIOutputEventBlock* const inUse = current();
    Node* kept = nullptr;
    for (Node* node = head_.load(std::memory_order_relaxed); node != nullptr;) {
        Node* next = node->next;
        if (node->block.get() != inUse && node->block.use_count() == 1) {
            delete node;
        } else {
            node->next = kept;
            kept = node;
        }
        node = next;
    }
    head_.store(kept, std::memory_order_release);
}
