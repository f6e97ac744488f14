#pragma once
// Manual-reset event: set, reset, wait and pulse.
// Pulse releases only the threads already waiting and leaves the event clear. It never
// blocks, allocates or takes a lock, so the audio callback may call it.
#include <atomic>
#include <cstdint>

struct manual_event {
    // bit 0: signalled; bits 1..31: pulse generation.
    std::atomic<uint32_t> word{0};
};

void event_set(manual_event& e);
void event_reset(manual_event& e);
void event_pulse(manual_event& e);
// Blocks until the event is signalled or pulsed.
void event_wait(manual_event& e);
// A waiter that looks at shared state before it waits takes a snapshot first and waits
// with it: a pulse that came between the snapshot and the wait then ends the wait at once
// instead of being lost.
uint32_t event_snapshot(const manual_event& e);
// Blocks until the event is signalled or pulsed after `snapshot` was taken; timeout_ms < 0
// waits forever. True when woken by the event.
bool event_wait_since(manual_event& e, uint32_t snapshot, int timeout_ms = -1);
// As event_wait_since, with the timeout in microseconds.
bool event_wait_since_us(manual_event& e, uint32_t snapshot, int64_t timeout_us);
// As event_wait, but gives up after timeout_ms; returns true when woken by the event.
bool event_wait_for(manual_event& e, int timeout_ms);
bool event_is_set(const manual_event& e);
