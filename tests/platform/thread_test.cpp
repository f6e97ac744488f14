#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/event.h"

namespace {

struct counter_state {
    std::atomic<int> loops{0};
    manual_event tick;
};

void counting_body(worker_thread& t, void* arg) {
    auto* s = static_cast<counter_state*>(arg);
    while (thread_checkpoint(t)) {
        if (!event_wait_for(s->tick, 1000)) continue;
        event_reset(s->tick);
        if (thread_stop_requested(t)) break;
        s->loops++;
    }
}

void kick(void* arg) { event_set(static_cast<counter_state*>(arg)->tick); }

}  // namespace

TEST(WorkerThread, CreatedSuspendedRunsOnlyAfterResume) {
    counter_state s;
    worker_thread t;
    thread_create(t, counting_body, &s);
    event_set(s.tick);
    sleep_ms(30);
    EXPECT_EQ(s.loops, 0);
    EXPECT_FALSE(thread_is_running(t));
    thread_resume(t);
    for (int i = 0; i < 200 && s.loops == 0; ++i) sleep_ms(1);
    EXPECT_EQ(s.loops, 1);
    thread_stop(t, kick, &s);
    EXPECT_FALSE(t.handle.joinable());
}

TEST(WorkerThread, SuspendParksAtACheckpointAndResumeContinues) {
    counter_state s;
    worker_thread t;
    thread_create(t, counting_body, &s);
    thread_resume(t);
    kick(&s);
    for (int i = 0; i < 200 && s.loops == 0; ++i) sleep_ms(1);
    thread_suspend(t, kick, &s);
    EXPECT_FALSE(thread_is_running(t));
    const int parked_loops = s.loops;
    kick(&s);
    sleep_ms(30);
    EXPECT_LE(s.loops, parked_loops + 1);
    thread_resume(t);
    thread_stop(t, kick, &s);
}

TEST(WorkerThread, StopOfANeverResumedThreadJoins) {
    counter_state s;
    worker_thread t;
    thread_create(t, counting_body, &s);
    thread_stop(t, kick, &s);
    EXPECT_EQ(s.loops, 0);
}

TEST(WorkerThread, StopInOrderLeavesNothingRunning) {
    std::vector<counter_state> states(4);
    std::vector<worker_thread> threads(4);
    for (int i = 0; i < 4; ++i) {
        thread_create(threads[i], counting_body, &states[i]);
        thread_resume(threads[i]);
    }
    thread_set_priority(threads[0], thread_priority::time_critical);  // may be refused
    for (int i = 0; i < 4; ++i) {
        thread_stop(threads[i], kick, &states[i]);
        EXPECT_FALSE(threads[i].handle.joinable());
    }
}
