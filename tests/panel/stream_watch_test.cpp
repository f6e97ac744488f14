// The user is told when the card gives no sound for a while, and the notice goes when the
// stream runs again.
#include "panel/control_events.h"
#include "panel/start_quit.h"
#include "tests/panel/receiver_panel.h"

namespace {

class StreamWatch : public ReceiverPanel {
  protected:
    void SetUp() override {
        build(panel_handlers{}, 5);
        panel_attach(&links);
        sound.stream_open = 1;
        sound.state = stream_state::running;
    }
    std::string card_label() { return p.main_dialog.get_static(id_card_name)->text(); }
    void trouble_for(int64_t ms) {
        sound.state = stream_state::reopening;
        sound.trouble_since_ms = steady_now_ms() - ms;
    }
};

TEST_F(StreamWatch, ACardSilentForSecondsBringsUpTheCardDialogUntilItPlaysAgain) {
    watch_stream(links);
    EXPECT_FALSE(p.card_dialog.is_visible());

    trouble_for(stream_lost_notice_ms / 2);  // a short reopen is not worth a word
    watch_stream(links);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(card_label(), "");

    trouble_for(stream_lost_notice_ms + 100);
    watch_stream(links);
    EXPECT_TRUE(p.card_dialog.is_visible());
    EXPECT_EQ(card_label(), ": no sound, reopening");
    watch_stream(links);  // still reopening: still shown
    EXPECT_TRUE(p.card_dialog.is_visible());

    sound.state = stream_state::running;
    sound.trouble_since_ms = 0;
    watch_stream(links);
    EXPECT_FALSE(p.card_dialog.is_visible());
    EXPECT_EQ(card_label(), "");
    EXPECT_EQ(controls.stream_lost_shown, 0);
}

TEST_F(StreamWatch, NothingIsSaidBeforeStartOrAfterTheStreamWasStopped) {
    sound.stream_open = 0;
    trouble_for(stream_lost_notice_ms + 100);
    watch_stream(links);
    EXPECT_FALSE(p.card_dialog.is_visible());

    sound.stream_open = 1;
    watch_stream(links);
    ASSERT_TRUE(p.card_dialog.is_visible());
    // The user stopped the stream (another card, Quit): the notice goes, and the card
    // dialog that the user may now need stays where it is.
    sound.stream_open = 0;
    sound.state = stream_state::stopped;
    watch_stream(links);
    EXPECT_EQ(card_label(), "");
    EXPECT_EQ(controls.stream_lost_shown, 0);
}

}  // namespace
