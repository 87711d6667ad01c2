// The texts a slot is shown with outside the editor's window: by `ovntool show`
// and on the printed menu card, which must agree to the character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/MenuModel.h"

namespace ovn {

// "0130" -> "01:30"; a text of another length is returned as it is.
std::string TimeWithColon(std::string_view hhmm);

// Page (1 to 10) and item (0 to 9) of a slot, as the editor's list shows them:
// "page 3 item 4".
std::string PageItemOfSlot(int slot);

// "gas" or "electric".
const char* OvenTypeName(std::int16_t ovenType);

// A slot's values as they decode: the record's texts, the cook time as HH:MM,
// and "-" for a value that decodes empty (a fan or power code without text).
// The name is left out: a terminal and a printed page show it differently.
struct ShownSlot {
    std::string cookTemp;
    std::string cookTime;
    std::string fanSpeed;
    std::string powerLevel;
    bool roastNHold = false;
    std::string holdTemp;
};
ShownSlot ShowSlot(const MenuItemRecord& item);

}  // namespace ovn
