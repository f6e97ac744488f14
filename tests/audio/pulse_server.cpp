#include "pulse_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

std::string script() {
    return std::string(TOLVAN_SOURCE_DIR) + "/scripts/pulse-test-server";
}

}  // namespace

namespace {

bool run_start(pulse_server& s) {
    const int rate = s.rate;
    const std::string cmd = script() + " start '" + s.dir + "' " + std::to_string(rate);
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    char line[1024];
    while (std::fgets(line, sizeof line, p)) {
        std::string l(line);
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
        const size_t eq = l.find('=');
        if (eq != std::string::npos) setenv(l.substr(0, eq).c_str(), l.substr(eq + 1).c_str(), 1);
    }
    s.up = pclose(p) == 0;
    return s.up;
}

}  // namespace

bool pulse_start(pulse_server& s, int rate) {
    s.rate = rate;
    s.dir = std::string(TOLVAN_TEST_BINARY_DIR) + "/pulse-" + std::to_string(rate) + "-" +
            std::to_string(getpid());
    return run_start(s);
}

void pulse_kill(pulse_server& s) {
    std::FILE* f = std::fopen((s.dir + "/pid").c_str(), "r");
    if (!f) return;
    int pid = 0;
    const bool read = std::fscanf(f, "%d", &pid) == 1;
    std::fclose(f);
    if (!read || pid <= 0) return;
    kill(pid, SIGKILL);
    for (int i = 0; i < 500 && kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    s.up = false;
}

bool pulse_restart(pulse_server& s) {
    return run_start(s);
}

void pulse_stop(pulse_server& s) {
    if (s.dir.empty()) return;
    const std::string cmd = script() + " stop '" + s.dir + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "pulse-test-server stop failed\n");
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_CLIENTCONFIG");
    s.up = false;
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& stdout_path) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!stdout_path.empty())
        posix_spawn_file_actions_addopen(&fa, 1, stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return pid;
}

namespace {

// Reaps the child within timeout_ms: its wait status, or -1 while it still runs.
int reap(pid_t pid, int timeout_ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0) return 0;  // not our child (any more)
        if (std::chrono::steady_clock::now() >= until) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

bool wait_child(pid_t pid, int timeout_ms) {
    if (pid <= 0) return false;
    const int status = reap(pid, timeout_ms);
    return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void end_child(pid_t pid) {
    if (pid <= 0) return;
    if (reap(pid, 0) >= 0) return;
    kill(pid, SIGTERM);
    if (reap(pid, 2000) >= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
