#pragma once
// The DSP lock: held by the DSP thread for one cycle. Only that thread takes it.
#include <mutex>

struct critical_section {
    std::mutex m;
};

inline void enter_critical_section(critical_section& cs) { cs.m.lock(); }
inline void leave_critical_section(critical_section& cs) { cs.m.unlock(); }
