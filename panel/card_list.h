#pragma once
// The sound-card list in combo box 73 of card_dialog.
#include <cstdint>
#include <vector>

#include "audio/stream.h"
#include "panel/panel.h"

// Appends one entry per card in the given order. Item data: the first ten devices point at
// combo_index_values[index], later ones carry the device index itself (combo_item_value
// reads both). Selects entry selected_card when the list has it. Label 63 of main_dialog
// gets font 2, text colour 0xFFFFFFFF and the first entry's name.
void fill_card_combo(panel& p, const std::vector<sound_card>& cards, int32_t selected_card);
