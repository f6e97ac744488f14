#pragma once
// First-in first-out hand-off of fixed-size blocks from one producer thread to one consumer
// thread, preallocated, with the same four operations as the triple buffer. The producer
// fills tb_back and publishes it; each tb_take moves the consumer to the next block in
// order, which tb_front then shows until the next take. Unlike the triple buffer no block
// is replaced by a newer one: blocks that arrive back to back are all delivered. When the
// consumer falls a whole queue behind, the producer's block is dropped and counted.
// Neither side waits, locks or allocates.
#include <atomic>
#include <cstddef>
#include <cstdint>

template <class T, size_t Capacity>
struct block_queue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "power of two");
    T slots[Capacity]{};
    alignas(64) std::atomic<size_t> head{0};  // blocks published (producer)
    alignas(64) std::atomic<size_t> tail{0};  // blocks finished with (consumer)
    std::atomic<uint64_t> dropped{0};         // blocks the producer could not queue
    // Producer only.
    T* writing = nullptr;  // the slot tb_back handed out since the last publish
    bool writing_spare = false;
    T spare{};  // written instead of a slot while the queue is full
    // Consumer only.
    bool holding = false;  // slots[tail] is the block tb_front shows
    T empty{};             // tb_front before the first block
};

template <class T, size_t C>
T& tb_back(block_queue<T, C>& q) {
    if (!q.writing) {
        const size_t h = q.head.load(std::memory_order_relaxed);
        q.writing_spare = h - q.tail.load(std::memory_order_acquire) >= C;
        q.writing = q.writing_spare ? &q.spare : &q.slots[h & (C - 1)];
    }
    return *q.writing;
}

template <class T, size_t C>
void tb_publish(block_queue<T, C>& q) {
    tb_back(q);
    if (q.writing_spare)
        q.dropped.fetch_add(1, std::memory_order_relaxed);
    else
        q.head.store(q.head.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    q.writing = nullptr;
}

// Consumer: moves to the next published block; false (and tb_front unchanged) when none.
template <class T, size_t C>
bool tb_take(block_queue<T, C>& q) {
    size_t t = q.tail.load(std::memory_order_relaxed);
    const size_t h = q.head.load(std::memory_order_acquire);
    if (q.holding) {
        if (t + 1 == h) return false;
        q.tail.store(++t, std::memory_order_release);  // the shown block is finished with
    } else if (t == h) {
        return false;
    }
    q.holding = true;
    return true;
}

template <class T, size_t C>
const T& tb_front(const block_queue<T, C>& q) {
    return q.holding ? q.slots[q.tail.load(std::memory_order_relaxed) & (C - 1)] : q.empty;
}

// Consumer: the block the next tb_take would move to, without taking it; null when none.
template <class T, size_t C>
const T* tb_peek_next(const block_queue<T, C>& q) {
    const size_t h = q.head.load(std::memory_order_acquire);
    const size_t next = q.tail.load(std::memory_order_relaxed) + (q.holding ? 1 : 0);
    return next == h ? nullptr : &q.slots[next & (C - 1)];
}

// Consumer: blocks published and not yet taken.
template <class T, size_t C>
size_t tb_waiting(const block_queue<T, C>& q) {
    const size_t h = q.head.load(std::memory_order_acquire);
    const size_t t = q.tail.load(std::memory_order_relaxed);
    return h - t - (q.holding ? 1 : 0);
}

// Consumer: the shown block, to change in place (only while the producer cannot run).
template <class T, size_t C>
T& tb_front_mut(block_queue<T, C>& q) {
    return q.holding ? q.slots[q.tail.load(std::memory_order_relaxed) & (C - 1)] : q.empty;
}

// Consumer: skips every block not yet taken, so the next take shows the next new one.
template <class T, size_t C>
void tb_skip_waiting(block_queue<T, C>& q) {
    while (tb_take(q)) {
    }
}
