// A receiver that dies mid-recording: records numbered blocks (block n holds n on the left
// and -n on the right) into a file with the receiver's recorder, at the card's pace, until
// it is killed. With a block count it hands over that many blocks and then only waits to be
// killed.
//
//   record_until_killed FILE RATE [BLOCKS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "record/recorder.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: record_until_killed FILE RATE [BLOCKS]\n");
        return 2;
    }
    const bool high = std::strcmp(argv[2], "96000") == 0;
    const long blocks = argc > 3 ? std::atol(argv[3]) : -1;
    auto handoff = std::make_unique<wave_handoff>();
    manual_event record_event;
    worker_thread thread;
    recorder rec;
    rec.handoff = handoff.get();
    rec.record_event = &record_event;
    rec.thread = &thread;
    thread_create(thread, recorder_thread, &rec);
    if (!start_recording(rec, argv[1], high)) {
        std::fprintf(stderr, "record_until_killed: cannot create %s\n", argv[1]);
        return 1;
    }
    std::vector<float> card(2 * block_size);
    const auto period = std::chrono::microseconds(1000000LL * block_size / (high ? 96000 : 48000));
    auto next = std::chrono::steady_clock::now();
    for (long n = 0; blocks < 0 || n < blocks; ++n) {
        for (int k = 0; k < block_size; ++k) {
            card[2 * k] = float(n);
            card[2 * k + 1] = -float(n);
        }
        hand_to_recorder(*handoff, card.data());
        event_set(record_event);
        next += period;
        std::this_thread::sleep_until(next);
    }
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(60));
}
