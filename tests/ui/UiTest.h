// Shared pieces of the ui tests: a shown window to put controls on, and event records.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <tuple>

#include "GuiTest.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace uitest {

class Window : public ::testing::Test {
public:
    std::unique_ptr<ui::Form> form = std::make_unique<ui::Form>("frmTest", 12000, 8000);
    std::string events;  // what the handlers saw, in order: "what=value;"

    void Record(const std::string& what, int value) { events += what + "=" + std::to_string(value) + ";"; }
    void Show() {
        form->ShowModeless();
        QApplication::setActiveWindow(form.get());
    }
};

// Name; the control; its line before; the key and its modifiers; the line (or key code) it leads to.
using KeyRow = std::tuple<const char*, QWidget*, int, Qt::Key, Qt::KeyboardModifiers, int>;

inline QPoint Centre(QListWidget* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}
inline void Click(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, Centre(list, row));
}

}  // namespace uitest
