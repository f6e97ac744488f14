#pragma once
// Latest-value hand-off of a fixed-size record from one producer thread to one consumer
// thread. The producer fills its back slot and publishes it; the consumer takes the most
// recently published slot. Neither side waits, locks or allocates, and a reader never sees
// a slot while it is written. Values published while the consumer does not look are
// replaced by newer ones.
#include <atomic>
#include <cstdint>

template <class T>
struct triple_buffer {
    T slots[3]{};
    // Bits 0-1: index of the middle (last published) slot; bit 2: unread data in it.
    std::atomic<uint8_t> middle{1};
    uint8_t back = 0;   // producer's slot
    uint8_t front = 2;  // consumer's slot
};

// Producer: the slot to fill.
template <class T>
T& tb_back(triple_buffer<T>& b) {
    return b.slots[b.back];
}

// Producer: make the back slot the newest published value.
template <class T>
void tb_publish(triple_buffer<T>& b) {
    uint8_t old = b.middle.exchange(uint8_t(b.back | 4), std::memory_order_acq_rel);
    b.back = old & 3;
}

// Consumer: take the newest value if one was published since the last take.
// Returns true when the front slot changed.
template <class T>
bool tb_take(triple_buffer<T>& b) {
    if (!(b.middle.load(std::memory_order_relaxed) & 4)) return false;
    uint8_t old = b.middle.exchange(b.front, std::memory_order_acq_rel);
    b.front = old & 3;
    return true;
}

// Consumer: the slot last taken.
template <class T>
const T& tb_front(const triple_buffer<T>& b) {
    return b.slots[b.front];
}
template <class T>
T& tb_front_mut(triple_buffer<T>& b) {
    return b.slots[b.front];
}
