#include "dsp/Interpolator.h"
#include "dsp/Interpolator2.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Interpolator, RampsSnapsAndRetargets) {
    Interpolator ramp;
    int arrivals = 0;
    ramp.callee = &arrivals;
    ramp.event = [](void* callee, Interpolator*, int) { ++*static_cast<int*>(callee); };
    ramp.setInitialValue(0.5f);
    ramp.setDestinationValue(1.0f, 16);
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(ramp.getValue(0), 0.5f + 0.03125f * static_cast<float>(k)) << "call " << k;
    EXPECT_EQ(ramp.getValue(0), 1.0f);
    EXPECT_EQ(arrivals, 1);

    // The same target mid-ramp does not restart; a new one restarts from here.
    ramp.setDestinationValue(0.0f, 4);
    EXPECT_EQ(ramp.getValue(0), 0.75f);
    ramp.setDestinationValue(0.0f, 100);
    EXPECT_EQ(ramp.getValue(0), 0.5f);
    ramp.setDestinationValue(1.0f, 2);
    EXPECT_EQ(ramp.getValue(0), 0.75f);
    // A step count of 0 or below ramps in one step; setInitialValue ends a ramp.
    ramp.setDestinationValue(-1.0f, -7);
    EXPECT_EQ(ramp.getValue(0), -1.0f);
    ramp.setDestinationValue(1.0f, 16);
    ramp.setInitialValue(0.2f);
    EXPECT_EQ(ramp.getValue(0), 0.2f);
    // Below 1e-6 the value jumps at once.
    ramp.setDestinationValue(0.2000005f, 16);
    EXPECT_EQ(ramp.getValue(0), 0.2000005f);
    // A value that is not finite never enters.
    ramp.setDestinationValue(std::numeric_limits<float>::quiet_NaN(), 16);
    ramp.setInitialValue(std::numeric_limits<float>::infinity());
    EXPECT_EQ(ramp.getValue(0), 0.2000005f);
    ramp.reset();
    EXPECT_EQ(ramp.getValue(0), 0.0f);
}

TEST(Interpolator2, StartsAtHalfWithACoarserSnap) {
    Interpolator2 jumps;
    jumps.setDestinationValue(0.5000005f, 16);
    EXPECT_EQ(jumps.getValue(), 0.5000005f);
    Interpolator2 ramps;
    ramps.setDestinationValue(0.5002f, 16);
    const float first = ramps.getValue();
    EXPECT_GT(first, 0.5f);
    EXPECT_LT(first, 0.5002f);
    ramps.setDestinationValue(std::numeric_limits<float>::quiet_NaN(), 16);
    for (int k = 0; k < 16; ++k) ramps.getValue();
    EXPECT_EQ(ramps.getValue(), 0.5002f);
}

} // namespace
