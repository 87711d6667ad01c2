// The columns of an exported menu, shared by export (CSV and JSON) and import.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/MenuModel.h"

namespace interchange {

enum class Column { Slot, Name, CookTemp, CookTime, FanSpeed, PowerLevel, RoastNHold, HoldTemp };

inline constexpr std::array<Column, 8> kAllColumns = {Column::Slot,       Column::Name,     Column::CookTemp,
                                                      Column::CookTime,   Column::FanSpeed, Column::PowerLevel,
                                                      Column::RoastNHold, Column::HoldTemp};

// "slot", "name", "cook_temp", "cook_time", "fan_speed", "power_level", "roast_n_hold", "hold_temp".
std::string_view ColumnName(Column column);
std::optional<Column> ColumnByName(std::string_view name);

// The text of one column of a slot, exactly as the editor holds it (the name
// as its bytes, Latin-1).
std::string ColumnText(Column column, int slot, const ovn::MenuItemRecord& item);

}  // namespace interchange
