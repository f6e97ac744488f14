#include "platform/thread.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>

namespace {

constexpr auto nudge_interval = std::chrono::milliseconds(20);  // a body blocked in a wait
                                                                // is woken again this often

void entry(worker_thread* t) {
    if (thread_checkpoint(*t)) t->body(*t, t->arg);
    std::lock_guard<std::mutex> lock(t->gate_lock);
    t->parked.store(true, std::memory_order_release);
    t->finished.store(true, std::memory_order_release);
    t->settled.notify_all();
}

// Waits until `done` holds, waking the body now and then: a nudge that came before the body
// entered its wait is lost, the next one is not.
template <class F>
void wait_settled(worker_thread& t, void (*wake)(void*), void* wake_arg, F done) {
    std::unique_lock<std::mutex> lock(t.gate_lock);
    while (!done()) {
        if (wake) {
            lock.unlock();
            wake(wake_arg);
            lock.lock();
        }
        t.settled.wait_for(lock, nudge_interval, done);
    }
}

}  // namespace

void thread_create(worker_thread& t, void (*body)(worker_thread&, void*), void* arg) {
    t.body = body;
    t.arg = arg;
    t.run_wanted = false;
    t.stop_wanted = false;
    t.parked = true;
    t.finished = false;
    t.handle = std::thread(entry, &t);
}

void thread_set_name(worker_thread& t, const char* name) {
    if (t.handle.joinable()) pthread_setname_np(t.handle.native_handle(), name);
}

void thread_set_priority(worker_thread& t, thread_priority p) {
    if (p != thread_priority::time_critical || !t.handle.joinable()) return;
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    // Needs CAP_SYS_NICE or an rtprio limit; without them the thread keeps normal priority.
    if (pthread_setschedparam(t.handle.native_handle(), SCHED_FIFO, &param) == 0) {
        t.realtime = true;
    }
}

void thread_resume(worker_thread& t) {
    {
        std::lock_guard<std::mutex> lock(t.gate_lock);
        t.run_wanted = true;
    }
    t.gate.notify_all();
}

void thread_suspend(worker_thread& t, void (*wake)(void*), void* wake_arg) {
    {
        std::lock_guard<std::mutex> lock(t.gate_lock);
        t.run_wanted = false;
    }
    // The body notices at its next checkpoint; a body blocked in a wait is nudged.
    if (!t.handle.joinable()) return;
    wait_settled(t, wake, wake_arg, [&] { return t.parked.load(std::memory_order_acquire); });
}

void thread_stop(worker_thread& t, void (*wake)(void*), void* wake_arg) {
    if (!t.handle.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(t.gate_lock);
        t.stop_wanted = true;
    }
    t.gate.notify_all();
    // A body blocked in a wait is nudged until it has returned.
    wait_settled(t, wake, wake_arg, [&] { return t.finished.load(std::memory_order_acquire); });
    t.handle.join();
}

bool thread_checkpoint(worker_thread& t) {
    if (t.stop_wanted.load(std::memory_order_acquire)) return false;
    if (t.run_wanted.load(std::memory_order_acquire)) {
        t.parked.store(false, std::memory_order_release);
        return true;
    }
    std::unique_lock<std::mutex> lock(t.gate_lock);
    t.parked.store(true, std::memory_order_release);
    t.settled.notify_all();
    t.gate.wait(lock, [&] { return t.run_wanted.load() || t.stop_wanted.load(); });
    if (t.stop_wanted.load()) return false;
    t.parked.store(false, std::memory_order_release);
    return true;
}

bool thread_stop_requested(const worker_thread& t) {
    return t.stop_wanted.load(std::memory_order_acquire);
}

bool thread_is_running(const worker_thread& t) {
    return t.handle.joinable() && !t.parked.load(std::memory_order_acquire);
}

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
