#pragma once
// A word shared between threads without ordering: reads and writes are relaxed atomics.
// Used for the single-word settings that the GUI thread writes and the audio and DSP
// threads read once per block, where a block may mix old and new values.
#include <atomic>

template <class T>
struct relaxed {
    std::atomic<T> value;

    constexpr relaxed() : value(T{}) {}
    constexpr relaxed(T v) : value(v) {}
    relaxed(const relaxed& other) : value(other.load()) {}
    relaxed& operator=(const relaxed& other) {
        store(other.load());
        return *this;
    }
    relaxed& operator=(T v) {
        store(v);
        return *this;
    }
    operator T() const { return load(); }
    T load() const { return value.load(std::memory_order_relaxed); }
    void store(T v) { value.store(v, std::memory_order_relaxed); }
    T operator++() { return value.fetch_add(1, std::memory_order_relaxed) + 1; }
    T operator+=(T d) { return value.fetch_add(d, std::memory_order_relaxed) + d; }
};
