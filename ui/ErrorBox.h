// The ERROR box: the platform's message box for a failure the storage
// routines report.
#pragma once

#include <QString>
#include <QWidget>

namespace ui {

// The platform's message box titled "ERROR" with a stop icon and one OK
// button; its objectName is "ErrorBox". Answered by a ModalScript in tests.
void ShowErrorBox(QWidget* owner, const QString& text);

}  // namespace ui
