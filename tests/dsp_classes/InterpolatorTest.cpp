#include "dsp/Interpolator.h"
#include "dsp/Interpolator2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Interpolator, SixteenStepRampFromHalfToOne)
{
    Interpolator ramp;
    ramp.setInitialValue(0.5f);
    ramp.setDestinationValue(1.0f, 16);
    for (int k = 1; k <= 16; ++k)
        EXPECT_FLOAT_EQ(ramp.getValue(0), 0.5f + 0.03125f * static_cast<float>(k)) << "call " << k;
    EXPECT_EQ(ramp.getValue(0), 1.0f);
    EXPECT_EQ(ramp.getValue(0), 1.0f);
}

TEST(Interpolator, SnapThresholdsDiffer)
{
    Interpolator fine;
    fine.setInitialValue(0.5f);
    fine.setDestinationValue(0.5000005f, 16);
    EXPECT_EQ(fine.getValue(0), 0.5000005f);

    Interpolator2 coarse;  // starts at 0.5
    coarse.setDestinationValue(0.5000005f, 16);
    EXPECT_EQ(coarse.getValue(), 0.5000005f);

    Interpolator2 ramped;
    ramped.setDestinationValue(0.5002f, 16);
    const float first = ramped.getValue();
    EXPECT_GT(first, 0.5f);
    EXPECT_LT(first, 0.5002f);
}

TEST(Interpolator, StepCountsAndRetargeting)
{
    Interpolator oneStep;
    oneStep.setDestinationValue(1.0f, 0);
    EXPECT_EQ(oneStep.getValue(0), 1.0f);
    Interpolator negative;
    negative.setDestinationValue(-1.0f, -7);
    EXPECT_EQ(negative.getValue(0), -1.0f);

    // The same target mid-ramp does not restart; a new one restarts from here.
    Interpolator ramp;
    ramp.setDestinationValue(1.0f, 4);
    EXPECT_EQ(ramp.getValue(0), 0.25f);
    ramp.setDestinationValue(1.0f, 100);
    EXPECT_EQ(ramp.getValue(0), 0.5f);
    ramp.setDestinationValue(0.0f, 2);
    EXPECT_EQ(ramp.getValue(0), 0.25f);
    EXPECT_EQ(ramp.getValue(0), 0.0f);

    // setInitialValue ends a running ramp.
    Interpolator2 light;
    light.setDestinationValue(1.0f, 16);
    light.getValue();
    light.setInitialValue(0.2f);
    EXPECT_EQ(light.getValue(), 0.2f);
    EXPECT_EQ(light.getValue(), 0.2f);
}

TEST(Interpolator, EventFiresOnceOnArrival)
{
    struct Count {
        int calls = 0;
        int id = -1;
    } count;
    Interpolator ramp;
    ramp.callee = &count;
    ramp.event = [](void* callee, Interpolator*, int id) {
        auto* c = static_cast<Count*>(callee);
        ++c->calls;
        c->id = id;
    };
    ramp.setDestinationValue(1.0f, 3);
    for (int k = 0; k < 10; ++k)
        ramp.getValue(7);
    EXPECT_EQ(count.calls, 1);
    EXPECT_EQ(count.id, 7);
}

TEST(Interpolator, NonFiniteTargetsAreIgnored)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Interpolator ramp;
    ramp.setInitialValue(0.5f);
    ramp.setDestinationValue(nan, 16);
    ramp.setDestinationValue(inf, 16);
    ramp.setInitialValue(nan);
    EXPECT_EQ(ramp.getValue(0), 0.5f);
    Interpolator2 light;
    light.setDestinationValue(nan, 16);
    light.setInitialValue(-inf);
    EXPECT_EQ(light.getValue(), 0.5f);
}

TEST(Interpolator, ResetReturnsToZero)
{
    Interpolator ramp;
    ramp.setDestinationValue(1.0f, 16);
    ramp.getValue(0);
    ramp.reset();
    EXPECT_EQ(ramp.getValue(0), 0.0f);
    EXPECT_EQ(ramp.getValue(0), 0.0f);
}

} // namespace
