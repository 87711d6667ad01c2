#include "model/MenuModel.h"

namespace ovn {

MenuState& Shared() {
    static MenuState state;
    return state;
}

void ResetMenuState() {
    Shared() = MenuState{};
}

MenuItemRecord DefaultItem() {
    MenuItemRecord item;
    item.Name = "";
    item.CookTemp = "325";
    item.HoldTemp = "160";
    item.CookTime = "0010";
    item.FanSpeed = "HIGH";
    item.PowerLevel = "100";
    item.RoastNHold = 0;
    return item;
}

void ItemClear(MenuItemRecord& item) {
    item = DefaultItem();
}

void ItemClear(std::int16_t slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    ItemClear(Shared().MenuItems[static_cast<std::size_t>(slot)]);
}

}  // namespace ovn
