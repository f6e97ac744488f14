#include <set>

#include "panel/panel.h"
#include "panel_fixture.h"

using namespace gui;

namespace {

std::set<int> enabled_ids(const GuiDialog& d) {
    std::set<int> ids;
    for (const auto& c : d.controls())
        if (c->get_enabled()) ids.insert(c->id());
    return ids;
}

Point centre(const GuiControl* c) {
    return {c->x() + c->width() / 2, c->y() + c->height() / 2};
}

void key(GuiDialog& d, int vk) {
    d.msg_proc(nullptr, make_key_message(MessageKind::key_down, vk));
    d.msg_proc(nullptr, make_key_message(MessageKind::key_up, vk));
}

void click(GuiDialog& d, Point pt) {
    const Point at{pt.x + d.x(), pt.y + d.y()};
    d.msg_proc(nullptr, make_mouse_message(MessageKind::mouse_move, at.x, at.y));
    d.msg_proc(nullptr, make_mouse_message(MessageKind::left_button_down, at.x, at.y, button_left));
    d.msg_proc(nullptr, make_mouse_message(MessageKind::left_button_up, at.x, at.y));
}

TEST_F(PanelTest, StartStateEnablesOnlyStartCardSelectionAndReadouts) {
    build();
    EXPECT_EQ(enabled_ids(p.main_dialog), (std::set<int>{60, 64, 50, 51, 63, 65, 66, 67, 102}));
    EXPECT_FALSE(p.main_dialog.get_control(id_sampling_button)->get_visible());
    EXPECT_FALSE(p.main_dialog.get_control(id_dx_cluster)->get_visible());
    EXPECT_TRUE(p.main_dialog.is_visible());
    EXPECT_TRUE(p.tuning_dialog.is_visible());
    EXPECT_FALSE(p.iq_dialog.is_visible());
    EXPECT_FALSE(p.adjust_dialog.is_visible());
    EXPECT_FALSE(p.card_dialog.is_visible());
    ASSERT_NE(p.tuning_slider, nullptr);
    EXPECT_TRUE(p.tuning_slider->get_enabled());
    EXPECT_EQ(p.tuning_slider, p.tuning_dialog.get_slider(id_tuning_slider));

    // The checked radios of every group.
    EXPECT_TRUE(checked(id_lsb));
    EXPECT_TRUE(checked(16));
    EXPECT_FALSE(checked(13));  // created checked, cleared by "2,700"
    EXPECT_TRUE(checked(id_low_cut_50));
    EXPECT_TRUE(p.card_dialog.get_radio_button(id_rate_96k)->checked());
    EXPECT_TRUE(p.card_dialog.get_radio_button(id_family_ssb)->checked());
    EXPECT_TRUE(p.main_dialog.get_check_box(id_agc_check)->checked());
    EXPECT_FALSE(p.main_dialog.get_check_box(id_notch_check)->checked());

    enable_receiver_controls(p);
    for (const auto& c : p.main_dialog.controls())
        EXPECT_EQ(c->get_enabled(), c->id() != id_dx_cluster) << c->id();
    EXPECT_FALSE(p.main_dialog.get_control(id_dx_cluster)->get_visible());
}

TEST_F(PanelTest, ControlsAreCreatedInTheOrderHotkeysDependOn) {
    build();
    std::vector<int> ids;
    for (const auto& c : p.main_dialog.controls()) ids.push_back(c->id());
    EXPECT_EQ(ids,
              (std::vector<int>{4,  5,  60, 63, 36, 64, 65, 102, 66, 67, 51, 30, 50, 31, 22, 20,
                                21, 39, 40, 24, 33, 34, 23, 41,  35, 32, 6,  7,  8,  9,  10, 11,
                                12, 13, 14, 15, 16, 17, 18, 26,  27, 28, 37, 19, 25, 42, 29, 38}));
    std::vector<int> card;
    for (const auto& c : p.card_dialog.controls()) card.push_back(c->id());
    EXPECT_EQ(card, (std::vector<int>{68, 69, 70, 71, 72, 62, 73}));
    EXPECT_EQ(p.iq_dialog.controls().size(), 4u);
    EXPECT_EQ(p.adjust_dialog.controls().size(), 11u);
}

TEST_F(PanelTest, PlacesAndStylesAsTheLayoutSays) {
    build();
    const GuiControl* name = p.main_dialog.get_static(id_card_name);
    EXPECT_EQ(name->x(), 475);
    EXPECT_EQ(name->y(), 460);
    EXPECT_EQ(name->element(0).font_index, font_black_16);
    EXPECT_EQ(name->element(0).font_colour.get(state_normal), 0xFFFFFFFFu);
    const GuiControl* freq = p.main_dialog.get_static(id_frequency_readout);
    EXPECT_EQ(freq->element(0).text_format, 0x102u);
    EXPECT_EQ(freq->element(0).font_index, font_black_54);
    EXPECT_EQ(p.main_dialog.get_static(id_cpu_readout)->element(0).text_format, 0x100u);
    EXPECT_EQ(p.main_dialog.get_button(id_start)->element(1).texture_colour.get(state_normal),
              0xFFE84B17u);
    EXPECT_EQ(p.main_dialog.get_button(id_select_card)->element(1).texture_colour.get(state_normal),
              0xFF30D84Eu);
    EXPECT_EQ(p.main_dialog.get_button(id_rec)->element(1).texture_colour.get(state_normal),
              0xFFFCCA82u);
    for (int id : {80, 81, 83, 85, 87, 89})
        EXPECT_EQ(p.adjust_dialog.get_static(id)->element(0).text_format, 0x100u) << id;
    EXPECT_EQ(p.adjust_dialog.get_edit_box(id_dbm_edit)->text(), "0.0");

    EXPECT_EQ(p.iq_dialog.x(), 800);
    EXPECT_EQ(p.iq_dialog.background_colours()[0], 0x320FFFFFu);
    EXPECT_EQ(p.card_dialog.x(), 220);
    EXPECT_EQ(p.card_dialog.height(), 245);
    EXPECT_EQ(p.card_dialog.background_colours()[3], 0xFF4B75CBu);
    EXPECT_EQ(p.main_dialog.width(), 1024);

    const GuiSlider* gain = p.iq_dialog.get_slider(id_iq_gain_slider);
    EXPECT_EQ(gain->min(), -19000);
    EXPECT_EQ(gain->max(), 19000);
    EXPECT_EQ(gain->value(), 10000);
    const GuiSlider* agc = p.main_dialog.get_slider(id_agc_limit_slider);
    EXPECT_EQ(agc->min(), 10);
    EXPECT_EQ(agc->max(), 300);
    EXPECT_EQ(agc->value(), 70);
    EXPECT_EQ(p.main_dialog.get_slider(id_display_speed_slider)->value(), 75);
    EXPECT_EQ(p.main_dialog.get_slider(id_notch_span_slider)->value(), 16);

    GuiComboBox* windows = p.main_dialog.get_combo_box(id_window_combo);
    ASSERT_EQ(windows->item_count(), 5);
    EXPECT_EQ(windows->drop_height(), 80);
    EXPECT_EQ(windows->item(4)->text, "Blackman Harris");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(combo_item_value(p, windows->item(i)), i);
    EXPECT_EQ(combo_item_value(p, nullptr), -1);
}

TEST_F(PanelTest, RateButtonAndTuningRangeFollowTheMode) {
    build(false, true);
    const GuiButton* rate = p.main_dialog.get_button(id_sampling_button);
    EXPECT_EQ(rate->text(), "48KHz sampling");
    EXPECT_EQ(rate->element(1).texture_colour.get(state_normal), fill_active);
    EXPECT_EQ(p.tuning_slider->max(), 1023);
    EXPECT_EQ(p.tuning_slider->value(), 511);
}

TEST_F(PanelTest, BandwidthRowsAreOneGroup) {
    build();
    radio(13)->set_checked(true, true, false);
    EXPECT_FALSE(checked(16));
    radio(15)->set_checked(true, true, false);
    EXPECT_FALSE(checked(13));
    EXPECT_TRUE(checked(15));
    EXPECT_TRUE(checked(id_low_cut_50));  // another group
    EXPECT_TRUE(events.empty());          // programmatic changes raise no event
}

TEST_F(PanelTest, HotkeysActOnDisabledControlsMouseDoesNot) {
    build();
    click(p.main_dialog, centre(radio(id_cwl)));
    EXPECT_FALSE(checked(id_cwl));
    EXPECT_TRUE(events.empty());

    key(p.main_dialog, '5');
    EXPECT_TRUE(checked(11));  // "120", the first control with that key
    EXPECT_FALSE(checked(15));
    EXPECT_FALSE(checked(16));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].handler, 'm');
    EXPECT_EQ(events[0].code, event_radio_button_changed);
    EXPECT_EQ(events[0].id, 11);

    key(p.main_dialog, 'O');  // the window list moves from its first item to the next
    GuiComboBox* windows = p.main_dialog.get_combo_box(id_window_combo);
    EXPECT_EQ(combo_item_value(p, windows->selected_item()), 1);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].id, id_window_combo);
}

TEST_F(PanelTest, EachDialogReportsToItsHandler) {
    build();
    click(p.main_dialog, centre(p.main_dialog.get_button(id_start)));
    p.card_dialog.set_visible(true);
    click(p.card_dialog, centre(p.card_dialog.get_button(id_card_ok)));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].handler, 'm');
    EXPECT_EQ(events[0].id, id_start);
    EXPECT_EQ(events[0].code, event_button_clicked);
    EXPECT_EQ(events[1].handler, 'c');
    EXPECT_EQ(events[1].id, id_card_ok);
}

}  // namespace
