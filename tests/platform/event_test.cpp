#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>

#include "platform/thread.h"

namespace {

// Starts a thread that waits once on `e` and counts its wake-up.
struct waiter {
    std::atomic<int> woken{0};
    std::atomic<bool> waiting{false};
    std::thread t;
    explicit waiter(manual_event& e) {
        t = std::thread([&] {
            waiting = true;
            event_wait(e);
            woken++;
        });
        while (!waiting) sleep_ms(1);
        sleep_ms(20);  // let it block in the wait
    }
    ~waiter() {
        if (t.joinable()) t.join();
    }
};

}  // namespace

TEST(ManualEvent, StartsClearAndStaysSetUntilReset) {
    manual_event e;
    EXPECT_FALSE(event_is_set(e));
    EXPECT_FALSE(event_wait_for(e, 10));
    event_set(e);
    EXPECT_TRUE(event_wait_for(e, 0));
    EXPECT_TRUE(event_wait_for(e, 0));  // manual reset: still set
    event_reset(e);
    EXPECT_FALSE(event_wait_for(e, 10));
}

TEST(ManualEvent, SetReleasesAWaiter) {
    manual_event e;
    waiter w(e);
    EXPECT_EQ(w.woken, 0);
    event_set(e);
    w.t.join();
    EXPECT_EQ(w.woken, 1);
}

TEST(ManualEvent, PulseReleasesAWaitingThreadAndLeavesTheEventClear) {
    manual_event e;
    waiter w(e);
    event_pulse(e);
    w.t.join();
    EXPECT_EQ(w.woken, 1);
    EXPECT_FALSE(event_is_set(e));
}

TEST(ManualEvent, PulseWithoutWaiterIsLost) {
    manual_event e;
    event_pulse(e);
    EXPECT_FALSE(event_is_set(e));
    EXPECT_FALSE(event_wait_for(e, 20));
}

TEST(ManualEvent, PulseClearsASetEvent) {
    manual_event e;
    event_set(e);
    event_pulse(e);
    EXPECT_FALSE(event_is_set(e));
}

TEST(ManualEvent, SignalsWhileBusyMergeIntoOne) {
    // The worker resets its event only after its work, so signals that arrive while it is
    // busy are served by one more pass, not one pass each.
    manual_event e;
    std::atomic<int> passes{0};
    std::atomic<bool> busy_gate{true};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop) {
            if (!event_wait_for(e, 200)) continue;
            passes++;
            while (busy_gate) sleep_ms(1);
            event_reset(e);
        }
    });
    event_set(e);
    while (passes == 0) sleep_ms(1);
    event_set(e);
    event_set(e);
    event_set(e);
    busy_gate = false;
    sleep_ms(100);
    stop = true;
    worker.join();
    EXPECT_EQ(passes, 1);
}

TEST(ManualEvent, ManyPulsesNeverBlockTheCaller) {
    manual_event e;
    for (int i = 0; i < 100000; ++i) event_pulse(e);
    EXPECT_FALSE(event_is_set(e));
}

// The stream thread sleeps to the microsecond: a timeout is not rounded down to the ms.
TEST(ManualEvent, AMicrosecondTimeoutIsWaitedInFull) {
    manual_event e;
    const uint32_t seen = event_snapshot(e);
    timespec from{}, to{};
    clock_gettime(CLOCK_MONOTONIC, &from);
    EXPECT_FALSE(event_wait_since_us(e, seen, 1700));
    clock_gettime(CLOCK_MONOTONIC, &to);
    const long waited_us =
        (to.tv_sec - from.tv_sec) * 1000000L + (to.tv_nsec - from.tv_nsec) / 1000;
    EXPECT_GE(waited_us, 1700);
    event_pulse(e);
    EXPECT_TRUE(event_wait_since_us(e, seen, 1000000)) << "a pulse after the snapshot ends it";
}
