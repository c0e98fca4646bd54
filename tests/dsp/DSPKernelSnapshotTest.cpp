#include "dsp/DSPKernelSnapshot.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<float> filled(float v) { return std::vector<float>(DSPKernelSnapshot::kFrames, v); }

TEST(DSPKernelSnapshot, TheHeldSnapshotSurvivesAnyNumberOfNewerOnes) {
    auto s = std::make_unique<DSPKernelSnapshot>();
    EXPECT_FALSE(s->isFresh());
    const auto a = filled(1.0f), b = filled(2.0f), c = filled(3.0f), d = filled(4.0f);
    s->publish(a.data(), b.data(), DSPKernelSnapshot::kFrames);
    EXPECT_TRUE(s->isFresh());
    s->take();
    EXPECT_FALSE(s->isFresh());
    const float* left = s->left();
    // The writer cycles through the two other slots only.
    for (int turn = 0; turn < 5; ++turn) s->publish(c.data(), d.data(), DSPKernelSnapshot::kFrames);
    EXPECT_EQ(left[0], 1.0f);
    EXPECT_EQ(left[DSPKernelSnapshot::kFrames - 1], 1.0f);
    EXPECT_EQ(s->right()[0], 2.0f);
    s->take();
    EXPECT_EQ(s->left()[7], 3.0f);
    EXPECT_EQ(s->right()[7], 4.0f);
    s->take(); // nothing new: the same snapshot stays
    EXPECT_EQ(s->left()[7], 3.0f);
}

TEST(DSPKernelSnapshot, ClearPublishesSilenceAndShortCopiesKeepTheRest) {
    auto s = std::make_unique<DSPKernelSnapshot>();
    const auto a = filled(5.0f);
    s->publish(a.data(), a.data(), DSPKernelSnapshot::kFrames);
    s->take();
    s->clear();
    EXPECT_FALSE(s->isFresh());
    s->publish(a.data(), a.data(), DSPKernelSnapshot::kFrames);
    s->clear(); // replaces the fresh turn and keeps the mark
    EXPECT_TRUE(s->isFresh());
    s->take();
    EXPECT_EQ(s->left()[100], 0.0f);
    EXPECT_EQ(s->right()[100], 0.0f);
    s->publish(a.data(), nullptr, 10);
    s->take();
    EXPECT_EQ(s->left()[9], 5.0f);
}

} // namespace
