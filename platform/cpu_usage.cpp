#include "platform/cpu_usage.h"

#include <sys/resource.h>
#include <time.h>

int64_t process_user_time_us() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_utime.tv_sec) * 1000000 + usage.ru_utime.tv_usec;
}

namespace {
int64_t monotonic_us() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}
}  // namespace

int32_t cpu_sample_percent(cpu_sampler& s) {
    const int64_t user = process_user_time_us();
    const int64_t wall = monotonic_us();
    int32_t percent = 0;
    if (s.last_user_us >= 0 && wall > s.last_wall_us) {
        // Rounded to the nearest percent of one core, like a formatted counter value.
        percent = int32_t(((user - s.last_user_us) * 100 + (wall - s.last_wall_us) / 2) /
                          (wall - s.last_wall_us));
    }
    s.last_user_us = user;
    s.last_wall_us = wall;
    return percent;
}
