// Combo boxes take the mouse wheel only while they have the focus: a wheel
// turned to scroll past them must not change a choice on its way.
#pragma once

#include <QWheelEvent>
#include <QWidget>

namespace ui {

// True when `event` was refused (and left to the parent) because `combo` lacks the focus.
inline bool RefuseWheelWithoutFocus(const QWidget& combo, QWheelEvent& event) {
    if (combo.hasFocus()) return false;
    event.ignore();
    return true;
}

}  // namespace ui
