// The slider's value is read on another thread (the audio callback reads the I/Q gain).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui/toolkit.h"

namespace {

TEST(SliderThreadTest, ValueIsReadableWhileTheGuiThreadChangesIt) {
    gui::GuiResourceManager resources;
    gui::GuiDialog dialog;
    dialog.init(&resources);
    gui::GuiSlider* slider = nullptr;
    dialog.add_slider(1, 10, 15, 200, 24, -19000, 19000, 10000, false, &slider);
    const std::atomic<int>& word = slider->value_word();
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        while (!done.load()) {
            int v = word.load(std::memory_order_relaxed);
            if (v < -19000 || v > 19000) bad.fetch_add(1);
        }
    });
    for (int i = 0; i < 200000; ++i) slider->set_value((i * 7919) % 40000 - 20000);
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_EQ(slider->value(), word.load());
}

}  // namespace
