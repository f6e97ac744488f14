// Counts heap allocations while the signal path runs: the cycle must allocate nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "dsp/dsp_cycle.h"
#include "dsp/dsp_thread.h"
#include "dsp/rebuild_filter.h"
#include "dsp_harness.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* counted(std::size_t n) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) {
    return counted(n);
}
void* operator new[](std::size_t n) {
    return counted(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
    return operator new(n, t);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(DspAllocation, NoneInAFewHundredCycles) {
    auto r = make_rig(5);
    manual_event dsp_event, record_event, play_event;
    critical_section lock;
    relaxed<uint8_t> recording{1}, playing{1};
    r->signal->thread_links = {r->modes.get(), &dsp_event, &record_event, &play_event,
                               &lock,          &recording, &playing};
    r->signal->notch_on = 1;
    fill_block(*r, {{40.3, 0.5, 0.0}, {-70.0, 0.2, 1.0}});

    counting = true;
    for (int b = 0; b < 300; ++b) {
        if (b % 2) {
            dsp_cycle(*r->signal, *r->modes, *r->in, *r->out);
        } else {
            tb_back(r->signal->handoff.input) = *r->in;
            tb_publish(r->signal->handoff.input);
            dsp_thread_cycle(*r->signal);
            tb_take(r->signal->handoff.output);
        }
        if (b % 50 == 0) {
            r->signal->tuned_bin = 1000 + 2 * b;
            r->modes->selected_mode = 4 + (b / 50) % 2;
        }
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(r->signal->blocks_done, 300u);
}

TEST(DspAllocation, NoneInAFilterRebuild) {
    auto r = make_rig(3);
    counting = true;
    for (int i = 0; i < 5; ++i) rebuild_filter(*r->signal, *r->modes);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}
