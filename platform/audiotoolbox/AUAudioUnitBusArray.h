#pragma once
// The input or output buses of one unit, in index order. The array refers to its unit
// without owning it.
// Thread rules: built before the unit is shared and never changed afterwards, so it
// may be read from any thread.
#include "audiotoolbox/AUAudioUnitBus.h"

#include <cstddef>
#include <memory>
#include <vector>

class AUAudioUnit;

enum class AUAudioUnitBusType : NSInteger { input = 1, output = 2 };

class AUAudioUnitBusArray {
public:
    AUAudioUnitBusArray(AUAudioUnit* audioUnit, AUAudioUnitBusType busType,
                        std::vector<std::shared_ptr<AUAudioUnitBus>> busses)
        : ownerAudioUnit_(audioUnit), busType_(busType), busses_(std::move(busses)) {}

    std::size_t count() const { return busses_.size(); }
    // Null for an index at or beyond count().
    std::shared_ptr<AUAudioUnitBus> operator[](std::size_t index) const {
        return index < busses_.size() ? busses_[index] : nullptr;
    }
    AUAudioUnitBusType busType() const { return busType_; }
    AUAudioUnit* ownerAudioUnit() const { return ownerAudioUnit_; }

private:
    AUAudioUnit* ownerAudioUnit_;
    AUAudioUnitBusType busType_;
    std::vector<std::shared_ptr<AUAudioUnitBus>> busses_;
};
