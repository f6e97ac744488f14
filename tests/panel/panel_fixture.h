#pragma once
// A control panel built as at start-up, with handlers that record every event.
#include <gtest/gtest.h>

#include <vector>

#include "panel/panel.h"

struct recorded_event {
    char handler;  // 'm' main, 'a' adjust, 'c' card, 't' tuning
    unsigned code;
    int id;
};

class PanelTest : public ::testing::Test {
  protected:
    void build(bool sampling_high = true, bool cw_mode = false) {
        panel_handlers h;
        h.main = [](unsigned e, int id, gui::GuiControl*, void* c) { record(c, 'm', e, id); };
        h.adjust = [](unsigned e, int id, gui::GuiControl*, void* c) { record(c, 'a', e, id); };
        h.card = [](unsigned e, int id, gui::GuiControl*, void* c) { record(c, 'c', e, id); };
        h.tuning = [](unsigned e, int id, gui::GuiControl*, void* c) { record(c, 't', e, id); };
        h.context = &events;
        create_controls(p, resources, h, sampling_high, cw_mode);
    }
    void TearDown() override { gui::GuiDialog::clear_focus(); }

    static void record(void* context, char handler, unsigned code, int id) {
        static_cast<std::vector<recorded_event>*>(context)->push_back({handler, code, id});
    }

    gui::GuiRadioButton* radio(int id) { return p.main_dialog.get_radio_button(id); }
    bool checked(int id) { return radio(id) && radio(id)->checked(); }

    std::vector<recorded_event> events;
    gui::GuiResourceManager resources;  // outlives the dialogs
    panel p;
};
