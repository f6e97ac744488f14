#pragma once
// Bounded single-producer single-consumer ring of fixed-size records, preallocated.
// The producer writes into the slot from ring_write_slot() and commits it; the consumer
// reads the slot from ring_read_slot() and releases it. Indices are acquire/release
// atomics, so a record is never seen half-written. Neither side waits or allocates.
#include <atomic>
#include <cstddef>

template <class T, size_t Capacity>
struct spsc_ring {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "power of two");
    T slots[Capacity]{};
    alignas(64) std::atomic<size_t> head{0};  // next slot to write (producer)
    alignas(64) std::atomic<size_t> tail{0};  // next slot to read (consumer)
};

// Producer: a free slot to fill, or null when the ring is full.
template <class T, size_t C>
T* ring_write_slot(spsc_ring<T, C>& r) {
    const size_t h = r.head.load(std::memory_order_relaxed);
    if (h - r.tail.load(std::memory_order_acquire) >= C) return nullptr;
    return &r.slots[h & (C - 1)];
}
template <class T, size_t C>
void ring_commit(spsc_ring<T, C>& r) {
    r.head.store(r.head.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

// Consumer: the oldest committed record, or null when the ring is empty.
template <class T, size_t C>
const T* ring_read_slot(spsc_ring<T, C>& r) {
    const size_t t = r.tail.load(std::memory_order_relaxed);
    if (t == r.head.load(std::memory_order_acquire)) return nullptr;
    return &r.slots[t & (C - 1)];
}
template <class T, size_t C>
void ring_release(spsc_ring<T, C>& r) {
    r.tail.store(r.tail.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}
template <class T, size_t C>
size_t ring_count(const spsc_ring<T, C>& r) {
    return r.head.load(std::memory_order_acquire) - r.tail.load(std::memory_order_acquire);
}
