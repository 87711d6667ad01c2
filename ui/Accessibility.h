// What assistive technology (a screen reader, through AT-SPI on Linux) hears of
// the windows. Qt names most controls by their caption or by the label whose
// buddy they are; the gaps it leaves are filled here once for every window:
//  - a list has no name of its own, and on Linux a combo box reports its
//    current choice as its name, so a label's text goes to the list's name and
//    to the combo box's description;
//  - an option button whose group is kept by the program (not by Qt's
//    auto-exclusive buttons) would be reported as a check box; it reports the
//    radio button role;
//  - a window reports itself as a window or a dialog, and one marked with
//    MarkAsAlert as an alert, announced when it opens.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace ui {

// Ties `label` to `control` (the labelled-by relation) and names the control by the label's text.
void LabelControl(QLabel* label, QWidget* control);

// Follows a new caption of `label` (its text was `oldText`) in the name of the control it names.
void LabelChanged(QLabel* label, const QString& oldText);

// Names `control` for assistive technology (a combo box also by its description).
void NameControl(QWidget* control, const QString& name);

// The window is an alert: its role says so and it is announced each time it is shown.
void MarkAsAlert(QWidget* window);

// Sends the events that make a screen reader announce `window` (shown just now).
void AnnounceShown(QWidget* window);

// Installs the interfaces above for the project's own controls; idempotent, called by the controls.
void InstallAccessibleInterfaces();

}  // namespace ui
