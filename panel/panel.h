#pragma once
// The five dialogs of the control panel and their construction.
#include <cstdint>

#include "gui/toolkit.h"
#include "panel/control_ids.h"

constexpr int combo_index_count = 10;

struct panel {
    gui::GuiDialog main_dialog;
    gui::GuiDialog iq_dialog;
    gui::GuiDialog adjust_dialog;
    gui::GuiDialog card_dialog;
    gui::GuiDialog tuning_dialog;
    gui::GuiSlider* tuning_slider = nullptr;  // control 3 of tuning_dialog

    // Item data of the window combo box and of the first ten sound-card entries: entry i
    // points at the value i.
    int32_t combo_index_values[combo_index_count] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
};

// The event handlers of the dialogs, with one context pointer for all of them.
struct panel_handlers {
    gui::GuiEventCallback main = nullptr;    // main_dialog and iq_dialog
    gui::GuiEventCallback adjust = nullptr;  // adjust_dialog (calibration values)
    gui::GuiEventCallback card = nullptr;    // card_dialog
    gui::GuiEventCallback tuning = nullptr;  // tuning_dialog
    void* context = nullptr;
};

// Builds every dialog and control, registered with `resources`. sampling_high captions the
// (hidden) rate button; cw_mode sets the tuning slider's range (0..1023 at 511 when set,
// else 0..4095 at 2047). Afterwards only "Start", "Select sound card", the readouts and the
// tuning slider are enabled. Once per panel.
void create_controls(panel& p, gui::GuiResourceManager& resources, const panel_handlers& h,
                     bool sampling_high, bool cw_mode);

// The value an item of the window or sound-card combo box stands for: the window type, or
// the device index. -1 for no item.
int32_t combo_item_value(const panel& p, const gui::ComboItem* item);

// Enables every main_dialog control with an ID in 4..42 except "DX cluster" (33), which
// stays hidden and disabled: what starting the receiver unlocks.
void enable_receiver_controls(panel& p);
