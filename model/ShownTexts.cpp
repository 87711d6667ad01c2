#include "model/ShownTexts.h"

namespace ovn {

namespace {

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

std::string TimeWithColon(std::string_view hhmm) {
    if (hhmm.size() != 4) return std::string(hhmm);
    return std::string(hhmm.substr(0, 2)) + ":" + std::string(hhmm.substr(2));
}

std::string PageItemOfSlot(int slot) {
    return "page " + std::to_string(slot / kItemsPerPage + 1) + " item " + std::to_string(slot % kItemsPerPage);
}

const char* OvenTypeName(std::int16_t ovenType) {
    return ovenType == kElectricOven ? "electric" : "gas";
}

ShownSlot ShowSlot(const MenuItemRecord& item) {
    ShownSlot shown;
    shown.cookTemp = OrDash(item.CookTemp);
    shown.cookTime = OrDash(TimeWithColon(item.CookTime));
    shown.fanSpeed = OrDash(item.FanSpeed);
    shown.powerLevel = OrDash(item.PowerLevel);
    shown.roastNHold = item.RoastNHold == 1;
    shown.holdTemp = OrDash(item.HoldTemp);
    return shown;
}

}  // namespace ovn
