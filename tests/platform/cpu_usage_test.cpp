#include "platform/cpu_usage.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/thread.h"

TEST(CpuUsage, FirstSampleIsZero) {
    cpu_sampler s;
    EXPECT_EQ(cpu_sample_percent(s), 0);
}

TEST(CpuUsage, IdleProcessIsNearZero) {
    cpu_sampler s;
    cpu_sample_percent(s);
    sleep_ms(300);
    EXPECT_LE(cpu_sample_percent(s), 10);
}

TEST(CpuUsage, BusyLoopIsNearOneCore) {
    cpu_sampler s;
    cpu_sample_percent(s);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    volatile double x = 0;
    while (std::chrono::steady_clock::now() < end) x = x + 1.0;
    const int p = cpu_sample_percent(s);
    EXPECT_GE(p, 25);  // sanitizers and other processes take some of it
    EXPECT_LE(p, 110);
}
