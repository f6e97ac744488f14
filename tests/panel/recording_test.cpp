// "Rec" with a real recorder thread writing real files: lost blocks, a full disk, the size
// limit, a refused rate change, and the end of the program waiting for a stalled disk.
// Each test runs in a folder of its own ("temp.wav" is relative).
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "panel/apply_mode.h"
#include "panel/card_dialog.h"
#include "panel/control_events.h"
#include "panel/rec_button.h"
#include "platform/message_box.h"
#include "tests/panel/receiver_panel.h"
#include "tests/record/fifo_sink.h"
#include "tests/record/wave_bytes.h"

namespace fs = std::filesystem;

namespace {

// Message boxes, from any thread; `shown` is set with each.
std::mutex boxes_lock;
std::vector<std::string> boxes;
manual_event shown;

void keep_box(const char* text, const char* caption) {
    {
        std::lock_guard<std::mutex> hold(boxes_lock);
        boxes.push_back(std::string(text) + "/" + caption);
    }
    event_set(shown);
}

std::vector<std::string> boxes_so_far() {
    std::lock_guard<std::mutex> hold(boxes_lock);
    return boxes;
}

class Recording : public ReceiverPanel {
  protected:
    void SetUp() override {
        panel_handlers h;
        h.main = main_event_handler;
        h.card = card_event_handler;
        build(h, 4);
        links.record_button_on = &record_on;
        links.record_seconds = &seconds;
        links.rec = &rec;
        panel_attach(&links);
        apply_mode(4);
        rec.handoff = wave.get();
        rec.record_event = &event;
        rec.thread = &thread;
        thread_create(thread, recorder_thread, &rec);
        old_dir = fs::current_path();
        std::string tmpl = (fs::temp_directory_path() / "tolvan_recording_XXXXXX").string();
        dir = mkdtemp(tmpl.data());
        fs::current_path(dir);
        boxes.clear();
        event_reset(shown);
        box_before = set_message_box_handler(keep_box);
    }
    void TearDown() override {
        set_message_box_handler(box_before);
        thread_stop(
            thread, [](void* e) { event_set(*static_cast<manual_event*>(e)); }, &event);
        fs::current_path(old_dir);
        if (mounted) ::umount2(dir.c_str(), MNT_DETACH);
        fs::remove_all(dir);
        ReceiverPanel::TearDown();
    }
    void press(int id) { main_event_handler(0, id, p.main_dialog.get_control(id), nullptr); }
    void card_ok() {
        card_event_handler(0, id_card_ok, p.card_dialog.get_control(id_card_ok), nullptr);
    }
    void check_card_radio(int id) {
        p.card_dialog.get_radio_button(id)->set_checked(true, true, false);
    }
    // Raw card blocks numbered n as the callback hands them over; with the event the DSP
    // thread sets after each block, or without (the recorder then sleeps on).
    void hand_over(int first, int count, bool wake = true) {
        std::vector<float> card(2 * block_size);
        for (int n = first; n < first + count; ++n) {
            for (int k = 0; k < block_size; ++k) {
                card[2 * k] = float(n);
                card[2 * k + 1] = -float(n);
            }
            hand_to_recorder(*wave, card.data());
            if (wake) event_set(event);
        }
    }
    bool rec_shown() { return p.main_dialog.get_control(id_rec_time)->get_visible(); }
    gui::Colour fill_of(int id) {
        return p.main_dialog.get_button(id)->element(1).texture_colour.colour[gui::state_normal];
    }

    relaxed<uint8_t> record_on{0};
    relaxed<uint16_t> seconds{0};
    manual_event event;
    worker_thread thread;
    recorder rec;
    fs::path old_dir, dir;
    bool mounted = false;
    message_box_handler box_before = nullptr;
};

TEST_F(Recording, TheStopSaysHowManyBlocksWereLost) {
    press(id_rec);
    ASSERT_EQ(record_on, 1);
    hand_over(0, int(recorder_ring_blocks) + 2, false);  // the disk never got a turn
    press(id_rec);
    EXPECT_EQ(record_on, 0);
    EXPECT_EQ(
        boxes_so_far(),
        std::vector<std::string>{
            "2 blocks (42 ms) of the recording were lost: the disk did not keep up/rec error"});
    ASSERT_TRUE(wait_recording_finished(rec, 10000));
    check_recording(links);  // the next frame: nothing more to say
    EXPECT_EQ(boxes_so_far().size(), 1u);
    const auto b = read_bytes("temp.wav");
    ASSERT_EQ(b.size(), 44u + recorder_ring_blocks * 16384);
    EXPECT_EQ(u32_at(b, 40), recorder_ring_blocks * 16384);
    EXPECT_EQ(block_number(b, recorder_ring_blocks - 1), int(recorder_ring_blocks) - 1);
}

// A recording on a 1 MiB tmpfs: the disk fills up during the second block of its second
// second. Quit finds the recording ended and says so, like the button would.
TEST_F(Recording, AFullDiskEndsTheRecordingKeepingWhatCameBefore) {
    if (::mount("tolvan_test", dir.c_str(), "tmpfs", 0, "size=1m,mode=0700") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs on " << dir << " (" << std::strerror(errno)
                     << "): the full-disk test needs root";
    mounted = true;
    fs::current_path(dir);  // into the mounted file system
    press(id_rec);
    ASSERT_EQ(record_on, 1);
    hand_over(0, 80);
    ASSERT_TRUE(wait_recording_finished(rec, 10000)) << "the recorder did not end the recording";
    EXPECT_EQ(wave->recording, 0);
    EXPECT_EQ(record_on, 1);  // until the next frame or Quit looks
    finish_recording_at_exit(links);
    EXPECT_EQ(record_on, 0);
    EXPECT_FALSE(rec_shown());
    EXPECT_EQ(boxes_so_far(), std::vector<std::string>{
                                  "the recording was stopped after 0:00:01: temp.wav could not be "
                                  "written any further (is the disk full?); what was recorded "
                                  "before is kept/file error"});
    // 256 pages: the header's page and 4 per block hold 63 blocks; the partial 64th is cut.
    const auto b = read_bytes("temp.wav");
    ASSERT_EQ(b.size(), 44u + 63 * 16384);
    EXPECT_EQ(u32_at(b, 40), 63u * 16384);
    EXPECT_EQ(u32_at(b, 4), 63u * 16384 + 36);
    for (size_t n = 0; n < 63; ++n) ASSERT_EQ(block_number(b, n), int(n));
    fs::current_path(old_dir);
}

TEST_F(Recording, TheSizeLimitEndsTheRecordingWithAMessage) {
    rec.max_data_bytes = 5 * 16384;  // stands in for the 4 GB of 32-bit sizes
    press(id_rec);
    hand_over(0, 8);
    ASSERT_TRUE(wait_recording_finished(rec, 10000));
    check_recording(links);  // as the next frame does
    EXPECT_EQ(record_on, 0);
    EXPECT_FALSE(rec_shown());
    EXPECT_EQ(fill_of(id_rec), fill_idle);
    EXPECT_EQ(boxes_so_far(), std::vector<std::string>{
                                  "the recording was stopped after 0:00:00: a wave file holds at "
                                  "most 4 GB/rec error"});
    EXPECT_EQ(read_bytes("temp.wav").size(), 44u + 5 * 16384);
    press(id_rec);  // a new recording starts normally
    EXPECT_EQ(record_on, 1);
    press(id_rec);
}

TEST_F(Recording, ARateOrFamilyChangeWhileRecordingIsRefused) {
    check_card_radio(id_rate_48k);
    card_ok();
    ASSERT_EQ(signal.sampling_high, 0);
    p.main_dialog.get_radio_button(id_usb)->set_checked(true, true, true);
    ASSERT_EQ(modes.selected_mode, 1);
    press(id_rec);
    hand_over(0, 2);
    check_card_radio(id_rate_96k);
    card_ok();
    EXPECT_EQ(boxes_so_far(),
              std::vector<std::string>{"stop the recording before changing the sample rate or the "
                                       "mode/rec error"});
    EXPECT_EQ(signal.sampling_high, 0);
    EXPECT_EQ(signal.sample_rate, 48000);
    EXPECT_EQ(modes.selected_mode, 1);
    EXPECT_TRUE(p.card_dialog.get_radio_button(id_rate_48k)->checked());
    press(id_rec);
    ASSERT_TRUE(wait_recording_finished(rec, 10000));
    const auto b = read_bytes("temp.wav");
    ASSERT_EQ(b.size(), 44u + 2 * 16384);
    EXPECT_EQ(u32_at(b, 24), 48000u);
    EXPECT_EQ(u32_at(b, 28), 384000u);
    // Not recording: the change goes through. Recording at 96 kHz SSB, CW is refused.
    check_card_radio(id_rate_96k);
    check_card_radio(id_family_ssb);
    card_ok();
    EXPECT_EQ(signal.sampling_high, 1);
    press(id_rec);
    check_card_radio(id_family_cw);
    card_ok();
    EXPECT_EQ(signal.cw_mode, 0);
    EXPECT_EQ(boxes_so_far().size(), 2u);
    EXPECT_TRUE(p.card_dialog.get_radio_button(id_family_ssb)->checked());
    press(id_rec);
}

// The disk hangs: the stop returns, and the end of the program waits for the file, saying
// why after a second.
TEST_F(Recording, QuitWaitsForAStalledDiskAndSaysSo) {
    fifo_sink sink((dir / "temp.wav").string());
    sink.stalled = true;
    press(id_rec);
    ASSERT_EQ(record_on, 1);
    sink.start_reading();
    hand_over(0, 10);
    manual_event done;
    bool finished_at_return = false;
    std::thread quit([&] {
        finish_recording_at_exit(links);
        finished_at_return = recording_finished(rec);
        event_set(done);
    });
    const bool said = event_wait_for(shown, 10000);
    sink.stalled = false;
    const bool returned = event_wait_for(done, 10000);
    sink.wait_until_closed();
    quit.join();
    ASSERT_TRUE(said) << "nothing said while waiting";
    ASSERT_TRUE(returned);
    EXPECT_TRUE(finished_at_return) << "ended before the file was finished";
    EXPECT_EQ(boxes_so_far(), std::vector<std::string>{
                                  "the recording is still being written to the disk; Tolvan ends "
                                  "when it is done/rec error"});
    EXPECT_EQ(sink.got.size(), 44u + 10 * 16384);
}

// Play and a new recording need the file complete: they wait for a finish in the background.
TEST_F(Recording, WhatNeedsTheFileWaitsForTheFinish) {
    fifo_sink sink((dir / "temp.wav").string());
    sink.stalled = true;
    press(id_rec);
    sink.start_reading();
    hand_over(0, 10);
    press(id_rec);  // returns although the disk hangs
    EXPECT_EQ(record_on, 0);
    EXPECT_FALSE(recording_finished(rec));
    bool finished_at_return = false;
    std::thread play_press([&] {
        wait_for_recording(links);
        finished_at_return = recording_finished(rec);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sink.stalled = false;
    play_press.join();
    sink.wait_until_closed();
    EXPECT_TRUE(finished_at_return);
    EXPECT_TRUE(boxes_so_far().empty());
}

// A recording cut off (a crash): Play says so and plays what the file holds.
TEST_F(Recording, PlayingACutOffRecordingSaysSo) {
    {
        std::optional<wave_file> f = create_wave_file("temp.wav", true);
        std::vector<float> block(block_size, 0.25f);
        for (int i = 0; i < 3; ++i) write_wave_block(*f, block.data(), block.data());
    }  // sizes still 0
    manual_event play_event;
    worker_thread player_thread_handle;
    play.play_event = &play_event;
    play.thread = &player_thread_handle;
    thread_create(player_thread_handle, player_thread, &play);
    press(id_play_wave);
    EXPECT_EQ(play.play_button_on, 1);
    EXPECT_EQ(play.total_blocks, 3u);
    EXPECT_EQ(boxes_so_far(),
              std::vector<std::string>{"temp.wav was not finished (the recording was cut off): it "
                                       "plays up to its last whole frame/rec error"});
    press(id_play_wave);
    EXPECT_EQ(play.play_button_on, 0);
    thread_stop(
        player_thread_handle, [](void* e) { event_set(*static_cast<manual_event*>(e)); },
        &play_event);
}

}  // namespace
