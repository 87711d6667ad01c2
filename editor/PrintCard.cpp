// Ctrl+P: the menu card on the system's printer, or a PDF through the print
// dialog's "Print to File (PDF)"; the card library draws it as for `ovntool card`.
#include <QDate>
#include <QFileInfo>
#include <QPrinter>

#include "card/MenuCard.h"
#include "editor/frmOpening.h"
#include "menufile/ImageCodec.h"
#include "model/MenuModel.h"
#include "ui/ErrorBox.h"
#include "ui/Geometry.h"
#include "ui/PrintDialog.h"

namespace editor {

// The menu as it stands in memory, its slots as the image encoder would write
// them now. The item on screen is not stored first: its unsaved edits are not
// on the card, as they would not be in a saved file.
void frmOpening::PrintMenuCard() {
    // Before an oven type is chosen there is no menu to print: the card would claim gas.
    if (DetermineOvenType() == ovn::kNoOvenType) return;
    const auto& state = ovn::Shared();
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(state.MenuItems, DetermineOvenType(), image);
    // Named as the window's caption names it.
    const QString title = state.MenuFileName.empty() ? QStringLiteral("New Menu")
                                                     : QFileInfo(ui::FromPath(state.MenuFileName)).fileName();
    const card::Card menuCard = card::MakeCard(image, title, QStringLiteral("ovenmenu"), QDate::currentDate());

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(menuCard.title);
    printer.setCreator(menuCard.program);
    printer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!ui::AskToPrint(this, printer)) return;
    if (!card::DrawCard(printer, menuCard)) {
        const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        ui::ShowErrorBox(this, QStringLiteral("The menu card could not be printed on %1.").arg(where));
    }
}

}  // namespace editor
