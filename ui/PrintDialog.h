// The system print dialog (Qt Print Support), shown through the layer's one
// modal show so that a ModalScript answers it in tests like any other window.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace ui {

// The dialog's objectName, for a script's Expect.
inline constexpr char kPrintDialogName[] = "dlgPrint";

// Shows the print dialog for `printer` over `owner`: printers, copies, paper
// and "Print to File (PDF)". True when the user chose Print; `printer` then
// holds the choices.
bool AskToPrint(QWidget* owner, QPrinter& printer);

}  // namespace ui
