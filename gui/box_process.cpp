#include "gui/box_process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

extern char** environ;

namespace gui {
namespace {

// The helper's path: the running program's folder, as the kernel knows it.
std::string helper_path() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    const std::string path(self, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1) + box_program;
}

}  // namespace

bool show_box_in_own_process(const char* text, const char* caption) {
    const std::string path = helper_path();
    if (path.empty() || access(path.c_str(), X_OK) != 0) return false;
    // posix_spawn runs nothing of this program in the child before the exec.
    char* argv[] = {const_cast<char*>(box_program), const_cast<char*>(caption),
                    const_cast<char*>(text), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace gui
