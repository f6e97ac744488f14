#include "panel/card_list.h"

#include <cstdint>

using namespace gui;

void fill_card_combo(panel& p, const std::vector<sound_card>& cards, int32_t selected_card) {
    GuiComboBox* combo = p.card_dialog.get_combo_box(id_card_combo);
    if (combo) {
        for (const sound_card& c : cards) {
            void* data = (c.index >= 0 && c.index < combo_index_count)
                             ? static_cast<void*>(&p.combo_index_values[c.index])
                             : reinterpret_cast<void*>(static_cast<std::intptr_t>(c.index));
            combo->add_item(c.name, data);
        }
        if (selected_card >= 0 && selected_card < combo->item_count())
            combo->select_item(selected_card);
    }
    if (GuiStatic* name = p.main_dialog.get_static(id_card_name)) {
        name->set_text_colour(0xFFFFFFFF);
        name->set_font(font_black_16);
        const ComboItem* first = combo ? combo->item(0) : nullptr;
        if (first) name->set_text(first->text);
    }
}
