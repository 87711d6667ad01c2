#include "ui/PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>

#include "ui/ModalShow.h"

namespace ui {

bool AskToPrint(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    dialog.setObjectName(QString::fromLatin1(kPrintDialogName));
    // The card is one page: a page range means nothing for it.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (ShowScripted(dialog, [&dialog] { dialog.reject(); })) return dialog.result() == QDialog::Accepted;
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace ui
