// Soak benchmark probe: feeds a receiver that listens on a private sound server and
// measures what a listener hears. It writes a gapless I/Q tone into the input sink, records
// both sinks' monitors, keys the carrier for a while to time the delay from input to
// output (forcing a stall on the receiver's DSP thread in the middle), then holds the tone
// steady and counts glitches, optionally suspending the input sink or restarting the
// server, and samples the receiver's CPU per thread, its resident memory and the steal
// of the machine (a virtual one whose host gives its time to other guests stalls the
// receiver and the sound server alike: glitches that come with it are the host's).
//
//   soak_probe --pid P --rate R --offset HZ --audio HZ --keyed S --steady S
//              [--stall-at S] [--stall-ms MS] [--suspend-at S --suspend-s S]
//              [--restart-at S --restart-cmd CMD]
// Times of --stall-at are seconds into the keyed phase, those of --suspend-at and
// --restart-at seconds into the steady phase. Prints a report; the last line is a summary.
#include <dirent.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "soak_analysis.h"
#include "soak_signal.h"

namespace {

struct options {
    pid_t pid = 0;
    int rate = 96000;
    double offset_hz = 13000, audio_hz = 1000;
    double settle_s = 4, keyed_s = 20, steady_s = 60;
    double stall_at_s = -1;
    int stall_ms = 300;
    double suspend_at_s = -1, suspend_s = 2;
    double restart_at_s = -1;
    std::string restart_cmd;
};

options parse(int argc, char** argv) {
    options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string k = argv[i], v = argv[i + 1];
        if (k == "--pid")
            o.pid = std::atoi(v.c_str());
        else if (k == "--rate")
            o.rate = std::atoi(v.c_str());
        else if (k == "--offset")
            o.offset_hz = std::atof(v.c_str());
        else if (k == "--audio")
            o.audio_hz = std::atof(v.c_str());
        else if (k == "--settle")
            o.settle_s = std::atof(v.c_str());
        else if (k == "--keyed")
            o.keyed_s = std::atof(v.c_str());
        else if (k == "--steady")
            o.steady_s = std::atof(v.c_str());
        else if (k == "--stall-at")
            o.stall_at_s = std::atof(v.c_str());
        else if (k == "--stall-ms")
            o.stall_ms = std::atoi(v.c_str());
        else if (k == "--suspend-at")
            o.suspend_at_s = std::atof(v.c_str());
        else if (k == "--suspend-s")
            o.suspend_s = std::atof(v.c_str());
        else if (k == "--restart-at")
            o.restart_at_s = std::atof(v.c_str());
        else if (k == "--restart-cmd")
            o.restart_cmd = v;
        else {
            std::fprintf(stderr, "soak_probe: unknown option %s\n", k.c_str());
            std::exit(2);
        }
    }
    return o;
}

void sleep_until(double t_s) {
    const double d = t_s - steady_s();
    if (d > 0) std::this_thread::sleep_for(std::chrono::duration<double>(d));
}

// CPU time [clock ticks] of each thread of a process, by thread id, with its name.
struct thread_time {
    std::string name;
    long ticks;
};
std::map<int, thread_time> thread_times(pid_t pid) {
    std::map<int, thread_time> times;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d) return times;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream f(dir + "/" + e->d_name + "/stat");
        std::string line;
        std::getline(f, line);
        const size_t open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        long utime = 0, stime = 0;
        for (int k = 3; k <= 15 && rest >> field; ++k) {
            if (k == 14) utime = std::atol(field.c_str());
            if (k == 15) stime = std::atol(field.c_str());
        }
        times[std::atoi(e->d_name)] = {line.substr(open + 1, close - open - 1), utime + stime};
    }
    closedir(d);
    return times;
}

long resident_kb(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// The machine's CPU time [clock ticks, all cores] from /proc/stat: all of it, and what the
// hypervisor gave to other guests (steal), which stalls the receiver and the server alike.
struct machine_time {
    long long total = 0, steal = 0;
};
machine_time read_machine_time() {
    std::ifstream f("/proc/stat");
    std::string cpu;
    f >> cpu;
    machine_time m;
    long long v = 0;
    for (int k = 0; k < 8 && f >> v; ++k) {  // user nice system idle iowait irq softirq steal
        m.total += v;
        if (k == 7) m.steal = v;
    }
    return m;
}

// The share of the machine's time [0, 1] the host took between two readings.
double steal_share(const machine_time& from, const machine_time& to) {
    const long long total = to.total - from.total;
    return total > 0 ? double(to.steal - from.steal) / double(total) : 0.0;
}

// Seconds of the steady phase in which steal took more than steal_noted of the machine.
constexpr double steal_noted = 0.1;
struct steal_watch {
    machine_time from, mark, to;
    double mark_s = 0;
    double worst = 0;           // largest share in a second
    std::vector<double> noted;  // [s, steady phase] starts of the seconds above steal_noted
};

void steal_sample(steal_watch& w, double t_s) {
    if (t_s - w.mark_s < 1.0) return;
    const machine_time now = read_machine_time();
    const double share = steal_share(w.mark, now);
    w.worst = std::max(w.worst, share);
    if (share > steal_noted) w.noted.push_back(w.mark_s);
    w.mark = now;
    w.mark_s = t_s;
}

// [%] of the machine's time over the steady phase.
double steal_percent(const steal_watch& w) {
    return 100.0 * steal_share(w.from, w.to);
}

// "steal: 3.1 % of the machine's time, at most 45 % in a second; above 10 % at 87-92 s, ..."
// (seconds less than 2.5 s apart make one stretch).
void report_steal(const steal_watch& w) {
    std::printf("steal: %.1f %% of the machine's time, at most %.0f %% in a second",
                steal_percent(w), 100 * w.worst);
    for (size_t k = 0; k < w.noted.size();) {
        size_t e = k;
        while (e + 1 < w.noted.size() && w.noted[e + 1] - w.noted[e] < 2.5) ++e;
        if (k == 0) std::printf("; above %.0f %% at", 100 * steal_noted);
        std::printf("%s %.0f-%.0f s", k == 0 ? "" : ",", w.noted[k], w.noted[e] + 1);
        k = e + 1;
    }
    std::printf("\n");
}

int find_thread(pid_t pid, const std::string& name) {
    for (const auto& [tid, t] : thread_times(pid))
        if (t.name == name) return tid;
    return 0;
}

// Holds one thread of another process still for `ms` (the rest of it runs on).
bool stall_thread(int tid, int ms) {
    if (ptrace(PTRACE_SEIZE, tid, nullptr, nullptr) != 0) return false;
    ptrace(PTRACE_INTERRUPT, tid, nullptr, nullptr);
    int status = 0;
    waitpid(tid, &status, __WALL);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return ptrace(PTRACE_DETACH, tid, nullptr, nullptr) == 0;
}

void report_delays(const char* what, const std::vector<edge_delay>& d, double from_s) {
    if (d.empty()) {
        std::printf("%s: no edges\n", what);
        return;
    }
    std::vector<double> v;
    for (const edge_delay& e : d) v.push_back(e.delay_s);
    std::sort(v.begin(), v.end());
    std::printf("%s: %zu edges, delay median %.1f ms, min %.1f, max %.1f\n", what, v.size(),
                1e3 * v[v.size() / 2], 1e3 * v.front(), 1e3 * v.back());
    (void)from_s;
}

}  // namespace

int main(int argc, char** argv) {
    const options o = parse(argc, argv);
    if (o.pid <= 0) {
        std::fprintf(stderr, "soak_probe: --pid of the receiver is needed\n");
        return 2;
    }
    const double block_s = 2048.0 / o.rate;
    generator gen;
    gen.sink = "tolvan_iq";
    gen.rate = o.rate;
    gen.offset_hz = o.offset_hz;
    recorder in, out;
    in.source = "tolvan_iq.monitor";
    in.complex_iq = true;
    in.watch_hz = o.offset_hz;
    out.source = "tolvan_out.monitor";
    out.watch_hz = o.audio_hz;
    for (recorder* r : {&in, &out}) {
        r->rate = o.rate;
        r->window_frames = o.rate / 200;  // 5 ms: whole cycles of both tones
    }
    start_recorder(in);
    start_recorder(out);
    start_generator(gen);

    const double t0 = steady_s();
    const double keyed_from = t0 + o.settle_s, keyed_to = keyed_from + o.keyed_s;
    const double steady_from = keyed_to, steady_to = steady_from + o.steady_s;
    sleep_until(keyed_from);
    gen.keyed = true;
    double stall_s = -1;
    bool stalled = false;
    if (o.stall_at_s >= 0) {
        sleep_until(keyed_from + o.stall_at_s);
        const int tid = find_thread(o.pid, "tolvan-dsp");
        stall_s = steady_s();
        stalled = tid > 0 && stall_thread(tid, o.stall_ms);
        if (!stalled) std::printf("stall: could not hold the DSP thread (tid %d)\n", tid);
    }
    sleep_until(keyed_to);
    gen.keyed = false;

    // Steady phase: CPU and memory over all of it.
    sleep_until(steady_from + 1.5);
    const double cpu_from = steady_s();
    const auto times_from = thread_times(o.pid);
    steal_watch steal;
    steal.from = steal.mark = read_machine_time();
    steal.mark_s = cpu_from - steady_from;
    long rss_max = 0;
    double suspended_back = -1, restarted_back = -1;
    bool suspended = false, restarted = false;
    while (steady_s() < steady_to) {
        const double t = steady_s() - steady_from;
        rss_max = std::max(rss_max, resident_kb(o.pid));
        steal_sample(steal, t);
        if (o.suspend_at_s >= 0 && !suspended && t >= o.suspend_at_s) {
            suspended = true;
            std::system("pactl suspend-sink tolvan_iq 1 && pactl suspend-sink tolvan_out 1");
            std::this_thread::sleep_for(std::chrono::duration<double>(o.suspend_s));
            std::system("pactl suspend-sink tolvan_iq 0 && pactl suspend-sink tolvan_out 0");
            suspended_back = steady_s();
            renew_recorder(in);
            renew_recorder(out);
        }
        if (o.restart_at_s >= 0 && !restarted && t >= o.restart_at_s) {
            restarted = true;
            if (std::system(o.restart_cmd.c_str()) != 0) std::printf("restart command failed\n");
            restarted_back = steady_s();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    const double cpu_to = steady_s();
    const auto times_to = thread_times(o.pid);
    steal.to = read_machine_time();
    rss_max = std::max(rss_max, resident_kb(o.pid));
    stop_generator(gen);
    stop_recorder(in);
    stop_recorder(out);

    // Delay: keyed phase, before and after the stall.
    const std::vector<edge_delay> delays =
        pair_edges(find_edges(in.windows, keyed_from, keyed_to),
                   find_edges(out.windows, keyed_from, keyed_to + 1.0));
    std::vector<edge_delay> before, after_1s;
    double worst_after = 0, settled_at = -1;
    for (const edge_delay& d : delays) {
        if (stall_s < 0 || d.t_s < stall_s)
            before.push_back(d);
        else if (d.t_s >= stall_s + o.stall_ms / 1000.0 + 1.0)
            after_1s.push_back(d);
    }
    report_delays("delay, keyed carrier", stall_s < 0 ? delays : before, keyed_from);
    if (stall_s >= 0) {
        report_delays("delay, from 1 s after the stall", after_1s, keyed_from);
        std::vector<double> sorted;
        for (const edge_delay& d : before) sorted.push_back(d.delay_s);
        std::sort(sorted.begin(), sorted.end());
        const double steady_delay = sorted.empty() ? 0 : sorted[sorted.size() / 2];
        for (const edge_delay& d : delays) {
            if (d.t_s < stall_s) continue;
            std::printf("  edge %+.2f s after the stall began: delay %.1f ms\n", d.t_s - stall_s,
                        1e3 * d.delay_s);
            if (std::abs(d.delay_s - steady_delay) > block_s)
                settled_at = -1;
            else if (settled_at < 0)
                settled_at = d.t_s - stall_s;
            worst_after = std::max(worst_after, d.delay_s);
        }
        std::printf(
            "stall of %d ms: delay back at its steady value (within a block) %.2f s after "
            "the stall began\n",
            o.stall_ms, settled_at);
    }

    // Glitches of the steady tone. A gap in the input itself (the generator or the server
    // late) reaches the output a delay later: such output glitches are the input's, and
    // are told apart from the receiver's own.
    // The tone's level is taken before any disturbance: an output that stays silent after
    // one would otherwise lower it until the silence passed for normal.
    double level_to = steady_to;
    for (const double at : {o.suspend_at_s, o.restart_at_s})
        if (at >= 0) level_to = std::min(level_to, steady_from + at);
    const double level = median_level(out.windows, steady_from + 1.5, level_to);
    const std::vector<glitch> glitches =
        find_glitches(out.windows, steady_from + 1.5, steady_to, 0.2, level);
    const std::vector<glitch> input_glitches =
        find_glitches(in.windows, steady_from + 1.5, steady_to);
    std::vector<double> sorted_delays;
    for (const edge_delay& d : before) sorted_delays.push_back(d.delay_s);
    std::sort(sorted_delays.begin(), sorted_delays.end());
    const double delay_s = sorted_delays.empty() ? 0.0 : sorted_delays[sorted_delays.size() / 2];
    auto follows_input = [&](const glitch& g) {
        for (const glitch& i : input_glitches)
            if (g.t_s >= i.t_s - 0.05 && g.t_s <= i.t_s + i.length_s + delay_s + 0.1) return true;
        return false;
    };
    int silent = 0, own = 0;
    for (const glitch& g : glitches) {
        const bool theirs = follows_input(g);
        std::printf("glitch at %.2f s (steady phase): %s, %.1f ms%s\n", g.t_s - steady_from,
                    g.kind.c_str(), 1e3 * g.length_s, theirs ? " (after an input gap)" : "");
        if (theirs) continue;
        ++own;
        if (g.kind == "silence") ++silent;
    }
    for (const glitch& g : input_glitches)
        std::printf("input glitch at %.2f s (steady phase): %s, %.1f ms\n", g.t_s - steady_from,
                    g.kind.c_str(), 1e3 * g.length_s);
    if (suspended) {
        const double back = tone_back_at(out.windows, suspended_back, level);
        std::printf("suspend of %.1f s: tone heard again %.2f s after the sinks resumed\n",
                    o.suspend_s, back < 0 ? -1.0 : back - suspended_back);
    }
    if (restarted) {
        const double back = tone_back_at(out.windows, restarted_back, level);
        std::printf("server restart: tone heard again %.2f s after the server was back\n",
                    back < 0 ? -1.0 : back - restarted_back);
    }

    // CPU per thread over the steady phase.
    const double ticks = double(sysconf(_SC_CLK_TCK)) * (cpu_to - cpu_from);
    long total = 0;
    std::map<std::string, long> by_name;
    for (const auto& [tid, t] : times_to) {
        const auto f = times_from.find(tid);
        const long d = t.ticks - (f != times_from.end() ? f->second.ticks : 0);
        by_name[t.name] += d;
        total += d;
    }
    report_steal(steal);
    std::printf("CPU over %.0f s (%% of one core):", cpu_to - cpu_from);
    for (const auto& [name, d] : by_name)
        if (d > 0) std::printf(" %s %.1f", name.c_str(), 100.0 * double(d) / ticks);
    std::printf("\n");
    std::printf(
        "summary: rate %d, steady %.0f s, glitches %d (silent %d; %zu more after input gaps), "
        "receiver CPU %.1f%%, resident %ld kB, delay %.1f ms (%.2f blocks), input glitches "
        "%zu, recorder reconnects %llu, steal %.1f%%\n",
        o.rate, o.steady_s, own, silent, glitches.size() - size_t(own),
        100.0 * double(total) / ticks, rss_max, 1e3 * delay_s, delay_s / block_s,
        input_glitches.size(), (unsigned long long)(in.reconnects + out.reconnects),
        steal_percent(steal));
    return 0;
}
