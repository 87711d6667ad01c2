#include "interchange/Columns.h"

namespace interchange {

std::string_view ColumnName(Column column) {
    switch (column) {
        case Column::Slot:
            return "slot";
        case Column::Name:
            return "name";
        case Column::CookTemp:
            return "cook_temp";
        case Column::CookTime:
            return "cook_time";
        case Column::FanSpeed:
            return "fan_speed";
        case Column::PowerLevel:
            return "power_level";
        case Column::RoastNHold:
            return "roast_n_hold";
        case Column::HoldTemp:
            return "hold_temp";
    }
    return "";
}

std::optional<Column> ColumnByName(std::string_view name) {
    for (const Column column : kAllColumns) {
        if (ColumnName(column) == name) return column;
    }
    return std::nullopt;
}

std::string ColumnText(Column column, int slot, const ovn::MenuItemRecord& item) {
    switch (column) {
        case Column::Slot:
            return std::to_string(slot);
        case Column::Name:
            return item.Name;
        case Column::CookTemp:
            return item.CookTemp;
        case Column::CookTime:
            return item.CookTime;
        case Column::FanSpeed:
            return item.FanSpeed;
        case Column::PowerLevel:
            return item.PowerLevel;
        case Column::RoastNHold:
            return std::to_string(item.RoastNHold);
        case Column::HoldTemp:
            return item.HoldTemp;
    }
    return "";
}

}  // namespace interchange
