#include <gtest/gtest.h>

#include "model/MenuModel.h"

namespace ovn {
namespace {

class MenuModel : public ::testing::Test {
protected:
    void SetUp() override { ResetMenuState(); }
};

TEST_F(MenuModel, ResetGivesTheStateAtProcessStart) {
    MenuState& state = Shared();
    state.MenuItems[4].Name = "X";
    state.MenuImage[2408] = 9;
    state.SystemBlock[5] = 1;
    state.MenuFileName = "New Menu";
    state.CurrentListIndex = 7;
    state.ItemChanged = true;
    state.MessageAnswer = -1;
    ResetMenuState();
    EXPECT_EQ(&Shared(), &state);
    EXPECT_EQ(state.MenuItems[4], MenuItemRecord{});
    EXPECT_EQ(state.MenuImage, MenuImageBytes{});
    EXPECT_EQ(state.SystemBlock, SystemBlockBytes{});
    EXPECT_EQ(state.MenuFileName, "");
    EXPECT_EQ(state.CurrentListIndex, -1);
    EXPECT_EQ(state.CurrentItemIndex, -1);
    EXPECT_FALSE(state.ItemChanged);
    EXPECT_FALSE(state.IgnoreListClick);
    EXPECT_EQ(state.MessageAnswer, 0);
}

TEST_F(MenuModel, ItemClearWritesTheDefaults) {
    const MenuItemRecord expected{"", "325", "160", "0010", "HIGH", "100", 0};
    EXPECT_EQ(DefaultItem(), expected);
    for (std::int16_t slot : {0, 57, 99}) {
        Shared().MenuItems[static_cast<std::size_t>(slot)] = {"ROAST", "350", "", "0130", "LOW", "80", 1};
        ItemClear(slot);
        EXPECT_EQ(Shared().MenuItems[static_cast<std::size_t>(slot)], expected) << slot;
    }
}

}  // namespace
}  // namespace ovn
