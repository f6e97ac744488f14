#include "panel/card_list.h"

#include "panel_fixture.h"

using namespace gui;

namespace {

std::vector<sound_card> cards(int n) {
    std::vector<sound_card> v;
    for (int i = 0; i < n; ++i) v.push_back({"card " + std::to_string(i), i});
    return v;
}

TEST_F(PanelTest, CardListCarriesEveryDeviceIndexAndSelectsTheStoredCard) {
    build();
    fill_card_combo(p, cards(12), 11);
    GuiComboBox* combo = p.card_dialog.get_combo_box(id_card_combo);
    ASSERT_EQ(combo->item_count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(combo->item(i)->text, "card " + std::to_string(i));
        EXPECT_EQ(combo_item_value(p, combo->item(i)), i);
    }
    EXPECT_EQ(combo->selected_index(), 11);
    EXPECT_EQ(combo_item_value(p, combo->selected_item()), 11);
    const GuiStatic* name = p.main_dialog.get_static(id_card_name);
    EXPECT_EQ(name->text(), "card 0");  // start-up writes the stored card's name later
    EXPECT_EQ(name->element(0).font_index, font_black_16);
    EXPECT_TRUE(events.empty());
}

TEST_F(PanelTest, StoredCardOutsideTheListSelectsNothingNew) {
    build();
    fill_card_combo(p, cards(3), -4);
    GuiComboBox* combo = p.card_dialog.get_combo_box(id_card_combo);
    EXPECT_EQ(combo->selected_index(), 0);
    fill_card_combo(p, {}, 7);
    EXPECT_EQ(combo->item_count(), 3);
}

TEST_F(PanelTest, NoCardsLeavesTheLabelEmpty) {
    build();
    fill_card_combo(p, {}, 0);
    EXPECT_EQ(p.card_dialog.get_combo_box(id_card_combo)->item_count(), 0);
    EXPECT_EQ(p.main_dialog.get_static(id_card_name)->text(), "");
}

}  // namespace
