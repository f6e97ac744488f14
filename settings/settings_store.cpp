#include "settings/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/message_box.h"

namespace {

// The files the receiver writes are under 2 KiB; anything past this is not ours.
constexpr size_t settings_file_max_bytes = 1 << 20;

std::string join(const std::string& folder, const char* name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool write_all(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

bool save_one(const std::string& path, const std::string& text) {
    if (replace_file(path, text)) return true;
    message_box("fail to write file", "file error");
    return false;
}

}  // namespace

bool read_text_file(const std::string& path, std::string& text, size_t max_bytes) {
    // Non-blocking open, so that a FIFO in the file's place cannot stall start-up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    text.clear();
    char buf[4096];
    bool ok = true;
    while (text.size() < max_bytes) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        text.append(buf, std::min(size_t(n), max_bytes - text.size()));
    }
    ::close(fd);
    return ok;
}

bool replace_file(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = write_all(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a folder that cannot be synced is no write failure.
    const int dir = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

settings_load_result load_settings_files(const std::string& folder, iq_records& iq,
                                         main_settings& main) {
    settings_load_result r;
    std::string text;
    if (!read_text_file(join(folder, iq_settings_file_name), text, settings_file_max_bytes))
        return r;
    r.iq_file_read = true;
    r.iq_values_read = read_iq_settings(text, iq);

    if (!read_text_file(join(folder, main_settings_file_name), text, settings_file_max_bytes))
        return r;
    r.main_file_read = true;
    main.center_frequency_Hz = 0;
    r.main_values_read = read_main_settings(text, main);
    return r;
}

settings_save_result save_settings_files(const std::string& folder, const iq_records& iq,
                                         const main_settings& main) {
    settings_save_result r;
    r.iq_written = save_one(join(folder, iq_settings_file_name), format_iq_settings(iq));
    r.main_written = save_one(join(folder, main_settings_file_name), format_main_settings(main));
    return r;
}
