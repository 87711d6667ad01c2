// Helpers for tests that drive real windows offscreen.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <tuple>

#include "ui/ModalScript.h"

namespace testsupport {

// A ModalScript whose failures fail the running test.
std::unique_ptr<ui::ModalScript> MakeScript();

// Finds the child of `root` named `name` ("cmdBut(3)"), failing the test when missing.
template <typename T = QWidget>
T* Child(QWidget& root, const QString& name) {
    T* widget = root.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << "no control named " << name.toStdString();
    return widget;
}

// What a message dialog showed, read when it opened: type, colour, text.
using Message = std::tuple<int, unsigned, std::string>;

// Expects frmMEMessage100 next; records what it showed into `seen` (may be
// null) and presses button `answer` (0 OK, 1 YES, 2 NO, 3 Cancel) with the mouse.
void ExpectMessage(ui::ModalScript& script, int answer, Message* seen = nullptr);

// Expects the "ERROR" box next: a critical box with OK alone; records its text and presses OK.
void ExpectErrorBox(ui::ModalScript& script, std::string* text = nullptr);

// What a screen reader reads of `widget` through QAccessible: "role|name|description|labels",
// the labels being the texts of the widgets it is labelled by, joined by '+'.
std::string Spoken(QWidget* widget);

// Clicks the named button of `window` with the mouse (it must be visible and enabled).
void ClickButton(QWidget& window, const QString& name);

}  // namespace testsupport
