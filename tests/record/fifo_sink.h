#pragma once
// A FIFO standing in for a disk under the recorder: its reader takes everything that
// arrives, in chunks of 16 KiB with a pause after each (a throttled disk), or nothing at all
// while `stalled` (a disk that hangs). The reader starts once the recorder has opened the
// FIFO for writing and ends when the recorder closes it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

struct fifo_sink {
    std::string path;
    int fd = -1;
    std::vector<uint8_t> got;  // read by the test after the reader has ended
    std::atomic<bool> stalled{false};
    std::atomic<int> pause_us{0};  // [us] after each chunk
    std::thread reader;

    explicit fifo_sink(std::string p) : path(std::move(p)) {
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        // Open without blocking (the writer comes later), then read with blocking.
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        EXPECT_GE(fd, 0);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    void start_reading() {
        reader = std::thread([this] {
            uint8_t buf[16384];
            for (;;) {
                while (stalled) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n <= 0) return;  // the writer closed the FIFO
                got.insert(got.end(), buf, buf + n);
                if (pause_us) std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
            }
        });
    }
    void wait_until_closed() {
        stalled = false;
        if (reader.joinable()) reader.join();
    }
    ~fifo_sink() {
        wait_until_closed();
        if (fd >= 0) ::close(fd);
    }
};
