#include "platform/event.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>

namespace {

constexpr uint32_t signalled_bit = 1;
constexpr uint32_t generation_step = 2;

long futex(std::atomic<uint32_t>& word, int op, uint32_t val, const timespec* timeout) {
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
    return syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), op, val, timeout, nullptr, 0);
}

void wake_all(manual_event& e) {
    futex(e.word, FUTEX_WAKE_PRIVATE, INT_MAX, nullptr);
}

// Waits until signalled or the generation moves on from that of `seen`; timeout_us < 0
// waits forever.
bool wait_impl(manual_event& e, uint32_t seen, int64_t timeout_us) {
    const uint32_t generation = seen >> 1;
    seen = e.word.load(std::memory_order_acquire);
    if ((seen & signalled_bit) || (seen >> 1) != generation) return true;
    timespec deadline{};
    if (timeout_us >= 0) {
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += time_t(timeout_us / 1000000);
        deadline.tv_nsec += long(timeout_us % 1000000) * 1000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
    }
    for (;;) {
        timespec left{};
        const timespec* wait_time = nullptr;
        if (timeout_us >= 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            long ns =
                (deadline.tv_sec - now.tv_sec) * 1000000000L + (deadline.tv_nsec - now.tv_nsec);
            if (ns <= 0) return false;
            left.tv_sec = ns / 1000000000L;
            left.tv_nsec = ns % 1000000000L;
            wait_time = &left;
        }
        futex(e.word, FUTEX_WAIT_PRIVATE, seen, wait_time);
        seen = e.word.load(std::memory_order_acquire);
        if ((seen & signalled_bit) || (seen >> 1) != generation) return true;
    }
}

// [us] from a timeout in ms; negative stays negative (forever).
int64_t ms_to_us(int timeout_ms) {
    return timeout_ms < 0 ? -1 : int64_t(timeout_ms) * 1000;
}

}  // namespace

void event_set(manual_event& e) {
    e.word.fetch_or(signalled_bit, std::memory_order_release);
    wake_all(e);
}

void event_reset(manual_event& e) {
    e.word.fetch_and(~signalled_bit, std::memory_order_release);
}

void event_pulse(manual_event& e) {
    uint32_t v = e.word.load(std::memory_order_relaxed);
    // Next generation, signalled bit clear: waiters return, later waiters block.
    while (!e.word.compare_exchange_weak(v, (v & ~signalled_bit) + generation_step,
                                         std::memory_order_release, std::memory_order_relaxed)) {
    }
    wake_all(e);
}

void event_wait(manual_event& e) {
    wait_impl(e, event_snapshot(e), -1);
}

bool event_wait_for(manual_event& e, int timeout_ms) {
    return wait_impl(e, event_snapshot(e), timeout_ms < 0 ? 0 : ms_to_us(timeout_ms));
}

uint32_t event_snapshot(const manual_event& e) {
    return e.word.load(std::memory_order_acquire);
}

bool event_wait_since(manual_event& e, uint32_t snapshot, int timeout_ms) {
    return wait_impl(e, snapshot, ms_to_us(timeout_ms));
}

bool event_wait_since_us(manual_event& e, uint32_t snapshot, int64_t timeout_us) {
    return wait_impl(e, snapshot, timeout_us);
}

bool event_is_set(const manual_event& e) {
    return e.word.load(std::memory_order_acquire) & signalled_bit;
}
