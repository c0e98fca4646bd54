#pragma once
// The MIDI output blocks a kernel adapter has been handed, and the one its render entry
// passes to the kernel. A render block re-selects its own block on every call from the
// render thread, so re-selecting a block held here must neither lock nor allocate, and no
// block may be freed while a render could still reach it.
//
// Thread rules:
// - current() and select() of a block held already: any thread, the render thread
//   included; no lock, no allocation.
// - select() of a block not held yet, keep() and currentOwned(): configuring threads.
// - release(): only while no render is in flight.
#include "audiotoolbox/AUMIDIOutputEventBlock.h"

#include <atomic>
#include <memory>
#include <mutex>

class MIDIOutputBlockHolder {
public:
    MIDIOutputBlockHolder() = default;
    MIDIOutputBlockHolder(const MIDIOutputBlockHolder&) = delete;
    MIDIOutputBlockHolder& operator=(const MIDIOutputBlockHolder&) = delete;
    ~MIDIOutputBlockHolder();

    // The block to use now, or null; alive until release() while it is current.
    const AUMIDIOutputEventBlock* current() const noexcept { return current_.load(std::memory_order_acquire); }
    // Makes `block` (may be null) current, holding it first if it is new here.
    void select(const std::shared_ptr<const AUMIDIOutputEventBlock>& block);
    // Holds `block` so that a render thread may select it later.
    void keep(const std::shared_ptr<const AUMIDIOutputEventBlock>& block);
    std::shared_ptr<const AUMIDIOutputEventBlock> currentOwned() const;
    // Frees the held blocks that are not current and that nobody else holds: no render
    // block can hand those in again.
    void release();

private:
    struct Node {
        std::shared_ptr<const AUMIDIOutputEventBlock> block;
        Node* next;
    };
    // Held blocks form a list that only grows while renders may run, so the render
    // thread can search it without a lock.
    const Node* find(const AUMIDIOutputEventBlock* block) const noexcept;
    const Node* add(const std::shared_ptr<const AUMIDIOutputEventBlock>& block);

    std::atomic<const AUMIDIOutputEventBlock*> current_{nullptr};
    std::atomic<Node*> head_{nullptr};
    mutable std::mutex mutex_; // writers of the list
};
