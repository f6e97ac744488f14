// Control behaviour through the framework's message path: events, focus, hotkeys, sliders,
// radio groups, combo boxes and edit boxes.
#include "tests/gui/toolkit_fixture.h"

namespace {

using gui::GuiDialog;
using E = ToolkitFixture::Event;
constexpr unsigned clicked = gui::event_button_clicked;
constexpr unsigned radio = gui::event_radio_button_changed;
constexpr unsigned slider_changed = gui::event_slider_value_changed;

class SliderTest : public ToolkitFixture {
  protected:
    void SetUp() override {
        ToolkitFixture::SetUp();
        b.set_location(0, 270);
        b.add_slider(3, 0, 0, 1023, 24, 0, 4095, 2047, false, &tuning);
        a.add_slider(40, 105, 432, 100, 17, 1, 100, 10, false, &rf);
    }
    gui::GuiSlider* tuning = nullptr;
    gui::GuiSlider* rf = nullptr;
};

TEST_F(SliderTest, ProgrammaticValuesClampAndSendNoEvent) {
    tuning->set_value(5000);
    EXPECT_EQ(tuning->value(), 4095);
    tuning->set_value(-3);
    EXPECT_EQ(tuning->value(), 0);
    tuning->set_value(3000);
    tuning->set_range(0, 1023);
    EXPECT_EQ(tuning->value(), 1023);
    EXPECT_EQ(tuning->min(), 0);
    EXPECT_EQ(tuning->max(), 1023);
    EXPECT_TRUE(events.empty());
}

TEST_F(SliderTest, KeysStepTheFocusedSlider) {
    b.request_focus(tuning);
    tuning->set_value(4000);
    key(SDLK_PAGEUP);
    EXPECT_EQ(tuning->value(), 4095);
    key(SDLK_PAGEDOWN);
    EXPECT_EQ(tuning->value(), 4095 - 409);
    key(SDLK_LEFT);
    key(SDLK_DOWN);
    EXPECT_EQ(tuning->value(), 4095 - 411);
    key(SDLK_RIGHT);
    key(SDLK_UP);
    key(SDLK_UP);
    EXPECT_EQ(tuning->value(), 4095 - 408);
    key(SDLK_HOME);
    EXPECT_EQ(tuning->value(), 0);
    key(SDLK_LEFT);  // at the minimum: no change, no event
    key(SDLK_END);
    EXPECT_EQ(tuning->value(), 4095);
    EXPECT_EQ(events.size(), 9u);
    for (const E& e : events) EXPECT_EQ(e, (E{slider_changed, 3}));
}

TEST_F(SliderTest, PageStepIsATenthOfTheRangeButAtLeastTen) {
    a.request_focus(rf);
    rf->set_value(50);
    key(SDLK_PAGEUP);  // (100 - 1) / 10 = 9 -> 10
    EXPECT_EQ(rf->value(), 60);
    tuning->set_range(0, 1023);
    b.request_focus(tuning);
    tuning->set_value(500);
    key(SDLK_PAGEDOWN);
    EXPECT_EQ(tuning->value(), 398);
}

TEST_F(SliderTest, WheelSubtractsNotchesTowardZero) {
    b.request_focus(tuning);
    tuning->set_value(2000);
    for (int i = 0; i < 10; ++i) wheel(600, 100, 1);  // away from the user
    EXPECT_EQ(tuning->value(), 1990);
    EXPECT_EQ(events.size(), 10u);
    wheel(600, 100, -3);
    EXPECT_EQ(tuning->value(), 1993);
    // A wheel message of less than one notch changes nothing.
    gui::Message m = gui::make_wheel_message(600, 100, 60);
    gui::dispatch_message(m);
    EXPECT_EQ(tuning->value(), 1993);
    EXPECT_EQ(events.size(), 11u);
}

TEST_F(SliderTest, TrackClicksStepByOneAndDragFollowsThePointer) {
    tuning->set_value(2048);
    gui::Rect thumb = tuning->thumb_rect();  // dialog-relative
    int cy = 270 + 12;
    click(thumb.right + 100, cy);
    EXPECT_EQ(tuning->value(), 2049);
    EXPECT_EQ(GuiDialog::focused_control(), tuning);
    click(thumb.left - 100, cy);
    click(thumb.left - 100, cy);
    EXPECT_EQ(tuning->value(), 2047);
    events.clear();

    thumb = tuning->thumb_rect();
    int grab = thumb.left + 5;
    down(grab, cy);
    EXPECT_TRUE(tuning->dragging());
    EXPECT_TRUE(events.empty());
    move(grab + 250, 200, SDL_BUTTON_LMASK);  // the pointer may leave the slider
    int dragged = tuning->value();
    EXPECT_NEAR(dragged, 2047 + 250 * 4095 / (1023 - 24), 5);
    EXPECT_EQ(events.size(), 1u);
    up(grab + 250, 200);
    EXPECT_FALSE(tuning->dragging());
    EXPECT_EQ(tuning->value(), dragged);
    // Each change, then once more at the end of the drag.
    EXPECT_EQ(events.size(), 2u);
    move(0, 200);
    EXPECT_EQ(tuning->value(), dragged);
}

TEST_F(SliderTest, ADragHoldsTheMouseWhenTheFocusMovesAway) {
    // The receiver gives the focus to the tuning slider after every panel event, also in
    // the middle of a drag of another slider.
    const gui::Rect thumb = rf->thumb_rect();
    const int cy = 432 + 8;
    down(thumb.left + 3, cy);
    ASSERT_TRUE(rf->dragging());
    move(thumb.left + 33, cy, SDL_BUTTON_LMASK);
    b.request_focus(tuning);
    move(thumb.left + 43, 300, SDL_BUTTON_LMASK);  // off the slider, over the tuning slider
    const int dragged = rf->value();
    EXPECT_GT(dragged, 30);
    up(thumb.left + 43, 282);  // released over the tuning slider's track
    EXPECT_FALSE(rf->dragging());
    EXPECT_EQ(tuning->value(), 2047);
    events.clear();
    move(thumb.left + 80, cy);  // passing over the slider afterwards changes nothing
    move(thumb.left, cy);
    EXPECT_EQ(rf->value(), dragged);
    EXPECT_TRUE(events.empty());
    // A drag also ends when its slider stops taking input.
    down(rf->thumb_rect().left + 2, cy);
    ASSERT_TRUE(rf->dragging());
    rf->set_enabled(false);
    EXPECT_FALSE(rf->dragging());
    EXPECT_EQ(GuiDialog::captured_control(), nullptr);
}

TEST_F(SliderTest, DisabledSliderTakesNoInput) {
    b.request_focus(tuning);
    tuning->set_enabled(false);
    tuning->set_value(100);
    key(SDLK_RIGHT);
    wheel(600, 280, 1);
    click(900, 282);
    EXPECT_EQ(tuning->value(), 100);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(tuning->current_state(), gui::state_disabled);
}

class RadioTest : public ToolkitFixture {};

TEST_F(RadioTest, GroupsBelongToTheirDialog) {
    gui::GuiRadioButton *a1, *a2, *a3, *b1;
    a.add_radio_button(68, 4, "48KHz", 30, 90, 60, 24, false, 0, false, &a1);
    a.add_radio_button(69, 4, "96KHz", 110, 90, 60, 24, true, 0, false, &a2);
    a.add_radio_button(70, 5, "SSB", 30, 130, 60, 24, true, 0, false, &a3);
    b.add_radio_button(26, 4, "100Hz", 330, 467, 40, 10, true, 0, false, &b1);
    EXPECT_FALSE(a1->checked());
    EXPECT_TRUE(a2->checked());
    EXPECT_TRUE(b1->checked());
    a1->set_checked(true, true, false);
    EXPECT_TRUE(a1->checked());
    EXPECT_FALSE(a2->checked());
    EXPECT_TRUE(a3->checked());
    EXPECT_TRUE(b1->checked());
    EXPECT_TRUE(events.empty());  // not from the user: no callback

    click(140, 100);
    EXPECT_TRUE(a2->checked());
    EXPECT_FALSE(a1->checked());
    EXPECT_EQ(events, (std::vector<E>{{radio, 69}}));
}

TEST_F(RadioTest, HotkeyPicksTheFirstControlCreatedWithIt) {
    gui::GuiRadioButton *r120, *r500, *r2400, *r2700;
    a.add_radio_button(11, 2, "120", 760, 370, 60, 24, false, '5', false, &r120);
    a.add_radio_button(13, 2, "500", 880, 370, 60, 24, true, '7', false, &r500);
    a.add_radio_button(15, 2, "2,400", 760, 400, 60, 24, false, '5', false, &r2400);
    a.add_radio_button(16, 2, "2,700", 820, 400, 60, 24, true, '6', false, &r2700);
    EXPECT_FALSE(r500->checked());  // the later checked radio cleared it
    key(SDLK_5);
    EXPECT_TRUE(r120->checked());
    EXPECT_FALSE(r2400->checked());
    EXPECT_FALSE(r2700->checked());
    EXPECT_EQ(events, (std::vector<E>{{radio, 11}}));
}

TEST_F(RadioTest, DisabledControlIgnoresClicksButTakesItsHotkey) {
    gui::GuiRadioButton *lsb, *usb;
    a.add_radio_button(8, 1, "LSB", 880, 320, 60, 24, true, '3', false, &lsb);
    a.add_radio_button(9, 1, "USB", 940, 320, 60, 24, false, '4', false, &usb);
    gui::GuiButton* button;
    a.add_button(34, "Play wave", 22, 330, 80, 22, 'P', false, &button);
    usb->set_enabled(false);
    button->set_enabled(false);
    click(950, 330);
    click(50, 340);
    EXPECT_FALSE(usb->checked());
    EXPECT_TRUE(events.empty());
    key(SDLK_4);
    key(SDLK_p);
    EXPECT_TRUE(usb->checked());
    EXPECT_FALSE(lsb->checked());
    EXPECT_EQ(events, (std::vector<E>{{radio, 9}, {clicked, 34}}));
}

class ButtonTest : public ToolkitFixture {
  protected:
    void SetUp() override {
        ToolkitFixture::SetUp();
        a.add_button(60, "Start", 880, 440, 125, 32, 0, false, &start);
        a.add_check_box(25, "AGC on", 562, 400, 80, 24, true, 0, false, &agc);
    }
    gui::GuiButton* start = nullptr;
    gui::GuiCheckBox* agc = nullptr;
};

TEST_F(ButtonTest, ClickPressAndReleaseInside) {
    click(900, 450);
    EXPECT_EQ(events, (std::vector<E>{{clicked, 60}}));
    down(900, 450);
    EXPECT_TRUE(start->pressed());
    up(500, 100);  // released outside: no click
    EXPECT_FALSE(start->pressed());
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(ButtonTest, SpaceClicksTheFocusedButton) {
    a.request_focus(start);
    key(SDLK_SPACE);
    EXPECT_EQ(events, (std::vector<E>{{clicked, 60}}));
}

TEST_F(ButtonTest, CheckBoxTogglesOnClickOnly) {
    EXPECT_TRUE(agc->checked());
    click(570, 410);
    EXPECT_FALSE(agc->checked());
    agc->set_checked(true);
    EXPECT_TRUE(agc->checked());
    EXPECT_EQ(events, (std::vector<E>{{gui::event_check_box_changed, 25}}));
}

TEST_F(ButtonTest, HiddenControlsAndHiddenDialogsHandleNothing) {
    start->set_visible(false);
    click(900, 450);
    EXPECT_TRUE(events.empty());
    start->set_visible(true);
    a.set_visible(false);
    click(900, 450);
    EXPECT_TRUE(events.empty());
    gui::Message m = gui::make_mouse_message(gui::MessageKind::left_button_down, 900, 450);
    EXPECT_FALSE(a.msg_proc(nullptr, m));
    a.set_visible(true);
    EXPECT_TRUE(a.msg_proc(nullptr, m));
}

TEST_F(ButtonTest, NonUserEventsReachTheCallbackOnlyWhenEnabled) {
    agc->set_checked(false);
    EXPECT_TRUE(events.empty());
    a.enable_non_user_events(true);
    agc->set_checked(true);
    EXPECT_EQ(events, (std::vector<E>{{gui::event_check_box_changed, 25}}));
}

TEST_F(ButtonTest, ControlsAreFoundByIdAndKind) {
    a.add_static(60, "second with the same ID", 0, 0, 10, 10);
    EXPECT_EQ(a.get_control(60), start);
    EXPECT_EQ(a.get_control(60, gui::ControlKind::button), start);
    EXPECT_NE(a.get_control(60, gui::ControlKind::static_text), nullptr);
    EXPECT_EQ(a.get_control(25, gui::ControlKind::radio_button), nullptr);
    EXPECT_EQ(a.get_check_box(25), agc);
    EXPECT_EQ(a.get_button(25), nullptr);
    EXPECT_EQ(a.get_control(999), nullptr);
    EXPECT_EQ(start->index(), 0);
    EXPECT_EQ(agc->index(), 1);
    EXPECT_EQ(start->dialog(), &a);
}

TEST(LifetimeTest, DialogsMayOutliveTheResourceManager) {
    auto dialog = std::make_unique<gui::GuiDialog>();
    {
        gui::GuiResourceManager resources;
        dialog->init(&resources);
        dialog->add_button(1, "x", 0, 0, 10, 10);
        EXPECT_EQ(resources.dialogs().size(), 1u);
    }
    EXPECT_EQ(dialog->manager(), nullptr);
    EXPECT_LT(dialog->render(0.0f), 0);
    dialog.reset();
}

class ComboTest : public ToolkitFixture {
  protected:
    void SetUp() override {
        ToolkitFixture::SetUp();
        a.add_combo_box(19, 560, 320, 150, 28, 'O', false, &combo);
        combo->set_drop_height(80);
        for (int i = 0; i < 3; ++i) combo->add_item(names[i], &data[i]);
    }
    gui::GuiComboBox* combo = nullptr;
    const char* names[3] = {"a", "b", "c"};
    int data[3] = {0, 1, 2};
};

TEST_F(ComboTest, HotkeyMovesToTheNextItemAndWraps) {
    EXPECT_EQ(combo->selected_index(), 0);  // the first item added is selected
    EXPECT_EQ(combo->select_item(2), gui::status_ok);
    EXPECT_TRUE(events.empty());
    key(SDLK_o);
    ASSERT_NE(combo->selected_item(), nullptr);
    EXPECT_EQ(combo->selected_item()->text, "a");
    EXPECT_EQ(combo->selected_data(), &data[0]);
    key(SDLK_o);
    EXPECT_EQ(combo->selected_item()->text, "b");
    EXPECT_EQ(events, (std::vector<E>{{gui::event_combo_box_selection_changed, 19},
                                      {gui::event_combo_box_selection_changed, 19}}));
}

TEST_F(ComboTest, SelectingPastTheEndIsAnInvalidArgument) {
    EXPECT_EQ(combo->select_item(3), gui::status_invalid_argument);
    EXPECT_EQ(combo->select_item(-1), gui::status_invalid_argument);
    EXPECT_EQ(combo->selected_index(), 0);
    combo->remove_all_items();
    EXPECT_EQ(combo->selected_item(), nullptr);
    key(SDLK_o);  // no selection: nothing happens
    EXPECT_TRUE(events.empty());
}

TEST_F(ComboTest, ItemsAreCutTo255Characters) {
    combo->add_item(std::string(300, 'x'), nullptr);
    EXPECT_EQ(combo->item(3)->text.size(), 255u);
}

TEST_F(ComboTest, ListOpensOnClickAndPicksTheClickedItem) {
    click(600, 330);
    EXPECT_TRUE(combo->is_open());
    EXPECT_EQ(GuiDialog::focused_control(), combo);
    key(SDLK_o);  // the hotkey rests while the list is open
    EXPECT_EQ(combo->selected_index(), 0);
    // The list starts under the box at y = 348; rows are one font line and 2 px high.
    const gui::Font* f = a.element_font(combo->element(3));
    ASSERT_NE(f, nullptr);
    int row = f->cell_height() + 2;
    click(600, 348 + 2 + row * 2 + row / 2);
    EXPECT_FALSE(combo->is_open());
    EXPECT_EQ(combo->selected_index(), 2);
    EXPECT_EQ(events, (std::vector<E>{{gui::event_combo_box_selection_changed, 19}}));
}

TEST_F(ComboTest, DisabledComboIgnoresClicksButTakesItsHotkey) {
    combo->set_enabled(false);
    click(600, 330);
    EXPECT_FALSE(combo->is_open());
    key(SDLK_o);
    EXPECT_EQ(combo->selected_index(), 1);
}

class FocusTest : public ToolkitFixture {};

TEST_F(FocusTest, OneFocusAcrossAllDialogs) {
    gui::GuiSlider *s1, *s2;
    a.add_slider(1, 10, 15, 200, 24, -19000, 19000, 10000, false, &s1);
    b.set_location(0, 270);
    b.add_slider(3, 0, 0, 1023, 24, 0, 4095, 2047, false, &s2);
    a.request_focus(s1);
    EXPECT_TRUE(s1->has_focus());
    b.request_focus(s2);
    EXPECT_FALSE(s1->has_focus());
    EXPECT_TRUE(s2->has_focus());
    EXPECT_EQ(GuiDialog::focused_control(), s2);
    // The key goes to the focused slider of the second dialog, not to the first dialog.
    key(SDLK_RIGHT);
    EXPECT_EQ(s2->value(), 2048);
    EXPECT_EQ(s1->value(), 10000);
    // A control that cannot take the focus does not steal it.
    gui::GuiStatic* label;
    a.add_static(100, "gain ", 0, 0, 30, 12, false, &label);
    a.request_focus(label);
    EXPECT_EQ(GuiDialog::focused_control(), s2);
    s1->set_enabled(false);
    a.request_focus(s1);
    EXPECT_EQ(GuiDialog::focused_control(), s2);
}

TEST_F(FocusTest, FocusedControlGetsTheMouseFirst) {
    gui::GuiSlider* s;
    b.set_location(0, 270);
    b.add_slider(3, 0, 0, 1023, 24, 0, 4095, 2047, false, &s);
    gui::GuiSlider* other;
    b.add_slider(31, 105, 100, 100, 17, 10, 300, 70, false, &other);
    b.request_focus(s);
    wheel(150, 378, 1);  // over the other slider: the focused one takes it
    EXPECT_EQ(s->value(), 2046);
    EXPECT_EQ(other->value(), 70);
}

TEST_F(FocusTest, TabMovesTheFocusOnlyWithKeyboardNavigation) {
    gui::GuiButton *first, *second;
    a.add_button(1, "one", 10, 10, 50, 20, 0, false, &first);
    a.add_static(2, "label", 10, 40, 50, 20);
    a.add_button(3, "two", 10, 70, 50, 20, 0, false, &second);
    key(SDLK_TAB);
    EXPECT_EQ(GuiDialog::focused_control(), nullptr);
    a.enable_keyboard_input(true);
    key(SDLK_TAB);
    EXPECT_EQ(GuiDialog::focused_control(), first);
    key(SDLK_TAB);
    EXPECT_EQ(GuiDialog::focused_control(), second);
    key(SDLK_TAB);
    EXPECT_EQ(GuiDialog::focused_control(), first);
    key(SDLK_TAB, KMOD_LSHIFT);
    EXPECT_EQ(GuiDialog::focused_control(), second);
}

class EditTest : public ToolkitFixture {
  protected:
    void SetUp() override {
        ToolkitFixture::SetUp();
        b.set_location(35, 40);
        b.add_edit_box(82, "0", 152, 22, 80, 30, false, &edit);
        a.add_radio_button(11, 2, "120", 760, 370, 60, 24, false, '5', false, &radio120);
    }
    gui::GuiEditBox* edit = nullptr;
    gui::GuiRadioButton* radio120 = nullptr;
};

TEST_F(EditTest, TypingEditingAndEnter) {
    click(35 + 152 + 70, 40 + 35);  // right of the text: caret at the end
    EXPECT_EQ(GuiDialog::focused_control(), edit);
    EXPECT_EQ(edit->caret(), 1);
    key(SDLK_BACKSPACE);
    type("705");
    key(SDLK_5);  // a hotkey of the other dialog, but the edit box has the focus
    type("5");
    EXPECT_EQ(edit->text(), "7055");
    EXPECT_FALSE(radio120->checked());
    key(SDLK_HOME);
    key(SDLK_DELETE);
    EXPECT_EQ(edit->text(), "055");
    key(SDLK_RIGHT);
    type("x");
    EXPECT_EQ(edit->text(), "0x55");
    key(SDLK_END);
    key(SDLK_LEFT);
    key(SDLK_BACKSPACE);
    EXPECT_EQ(edit->text(), "0x5");
    key(SDLK_RETURN);
    std::vector<E> expected = {{gui::event_edit_box_change, 82}, {gui::event_edit_box_change, 82},
                               {gui::event_edit_box_change, 82}, {gui::event_edit_box_change, 82},
                               {gui::event_edit_box_change, 82}, {gui::event_edit_box_change, 82},
                               {gui::event_edit_box_change, 82}, {gui::event_edit_box_change, 82},
                               {gui::event_edit_box_string, 82}};
    EXPECT_EQ(events, expected);
}

TEST_F(EditTest, SetTextIsProgrammaticAndCanSelectAll) {
    edit->set_text("7056212");
    EXPECT_EQ(edit->text(), "7056212");
    EXPECT_TRUE(events.empty());
    edit->set_text("-12.5", true);
    b.request_focus(edit);
    type("3");
    EXPECT_EQ(edit->text(), "3");
    // Hotkeys act again once the focus is elsewhere.
    GuiDialog::clear_focus();
    key(SDLK_5);
    EXPECT_TRUE(radio120->checked());
}

TEST_F(EditTest, HiddenEditBoxDoesNotBlockHotkeys) {
    b.request_focus(edit);
    b.set_visible(false);
    key(SDLK_5);
    EXPECT_TRUE(radio120->checked());
}

}  // namespace
