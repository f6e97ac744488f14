#pragma once
// Worker threads that are created suspended and resumed later, with cooperative
// suspension and stopping. A body runs in a loop of its own; it calls
// thread_checkpoint() where it may be suspended or stopped (a block boundary), and
// returns from its loop when thread_checkpoint() returns false.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

enum class thread_priority { normal, time_critical };

struct worker_thread {
    std::thread handle;
    std::mutex gate_lock;  // only around suspend/resume, never on the signal path
    std::condition_variable gate;
    std::condition_variable settled;       // the body parked or returned (under gate_lock)
    std::atomic<bool> run_wanted{false};   // resumed by the owner
    std::atomic<bool> stop_wanted{false};  // stop requested by the owner
    std::atomic<bool> parked{true};        // the body is waiting at a checkpoint
    std::atomic<bool> realtime{false};     // real-time scheduling was granted
    std::atomic<bool> finished{false};     // the body has returned
    void (*body)(worker_thread&, void*) = nullptr;
    void* arg = nullptr;
};

// Starts the thread parked before its body; thread_resume lets it run.
void thread_create(worker_thread& t, void (*body)(worker_thread&, void*), void* arg);
// Names the thread as the system shows it (top -H, /proc), at most 15 characters.
void thread_set_name(worker_thread& t, const char* name);
// Asks for real-time scheduling when time_critical; falls back silently.
void thread_set_priority(worker_thread& t, thread_priority p);
void thread_resume(worker_thread& t);
// Asks the body to park at its next checkpoint and waits until it does.
// `wake` (may be null) is a function the caller uses to nudge a body blocked in a wait.
void thread_suspend(worker_thread& t, void (*wake)(void*) = nullptr, void* wake_arg = nullptr);
// Stops the body at its next checkpoint and joins the thread.
void thread_stop(worker_thread& t, void (*wake)(void*) = nullptr, void* wake_arg = nullptr);
// Called by the body: parks while suspended; false when the thread must end.
bool thread_checkpoint(worker_thread& t);
bool thread_stop_requested(const worker_thread& t);
bool thread_is_running(const worker_thread& t);

void sleep_ms(int ms);
