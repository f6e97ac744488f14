#pragma once
// The process's own user-CPU time as a percentage of one core over the last interval.
#include <cstdint>

struct cpu_sampler {
    int64_t last_user_us = -1;  // [us] user CPU time at the last sample
    int64_t last_wall_us = 0;   // [us] monotonic clock at the last sample
};

// Takes a sample; returns the percentage since the previous sample (0 at the first one).
int32_t cpu_sample_percent(cpu_sampler& s);
int64_t process_user_time_us();
