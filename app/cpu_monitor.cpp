#include "app/core_state.h"

void cpu_monitor_step(core_state& core) {
    core.cpu_usage_percent = cpu_sample_percent(core.cpu);
    if (core.record_button_on) core.record_seconds = uint16_t(core.record_seconds + 1);
}

void cpu_monitor_thread(worker_thread& self, void* arg) {
    auto& core = *static_cast<core_state*>(arg);
    while (thread_checkpoint(self)) {
        // A one-second sleep that shutdown can cut short.
        if (event_wait_for(core.monitor_stop, 1000)) continue;
        cpu_monitor_step(core);
    }
}
