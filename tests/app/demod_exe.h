#pragma once
// Running the real tolvan-demod executable from a test, in a folder of the test's own.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct temp_dir {
    std::filesystem::path path;
    temp_dir() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "tolvan_demod_XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~temp_dir() { std::filesystem::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

struct run_result {
    int status = -1;
    std::string err;
};

// Runs tolvan-demod with args; file_size_limit > 0 caps the size of files it may write.
inline run_result run_demod_exe(const std::vector<std::string>& args, const temp_dir& d,
                                long file_size_limit = 0) {
    const std::string err_file = d.file("stderr.txt");
    pid_t pid = fork();
    if (pid == 0) {
        int fd = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        if (file_size_limit > 0) {
            rlimit lim{rlim_t(file_size_limit), rlim_t(file_size_limit)};
            ::setrlimit(RLIMIT_FSIZE, &lim);
            ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(TOLVAN_DEMOD_EXE));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(TOLVAN_DEMOD_EXE, argv.data());
        ::_exit(127);
    }
    run_result r;
    int st = 0;
    ::waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    std::ifstream in(err_file);
    std::stringstream ss;
    ss << in.rdbuf();
    r.err = ss.str();
    return r;
}
