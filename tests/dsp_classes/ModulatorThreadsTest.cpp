#include "dsp/Modulator.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

TEST(Modulator, ConcurrentConstructionSharesOneTableSet) {
    const int64_t before = Modulator::getCount();
    float logUp = 0;
    {
        std::vector<std::unique_ptr<Modulator>> made(8);
        std::vector<std::thread> threads;
        for (auto& slot : made) threads.emplace_back([&slot] { slot = std::make_unique<Modulator>(); });
        for (auto& t : threads) t.join();
        EXPECT_EQ(Modulator::getCount(), before + 8);
        logUp = Modulator::waveRampLogUp[3000];
        EXPECT_GT(logUp, 0.0f);
    }
    EXPECT_EQ(Modulator::getCount(), before);
    Modulator again;
    EXPECT_EQ(Modulator::waveRampLogUp[3000], logUp);
}

} // namespace
