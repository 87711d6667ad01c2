// The menu card: the 100 slots of a menu on one portrait sheet, as the editor's
// list groups them, with the values exactly as `ovntool show` decodes them.
// The one drawing of the card; the PDF of `ovntool card` and the editor's
// printer both come from DrawCard.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <array>

#include "model/MenuModel.h"
#include "model/ShownTexts.h"

class QPagedPaintDevice;

namespace card {

enum class Paper { A4, Letter };

struct CardSlot {
    QString name;  // as the oven shows it; empty for a free place
    ovn::ShownSlot values;
};

struct Card {
    QString title;     // the menu file's name
    QString ovenType;  // "Gas" or "Electric"
    QDate made;
    QString program;  // "ovntool 0.42": the program and version that made the card
    bool damaged = false;
    std::array<CardSlot, ovn::kSlotCount> places;  // by slot ("slots" is a word of Qt's)
};

// The card of a 2409-byte image as the storage decodes it; `damaged` when the
// image fails its checks.
Card MakeCard(const ovn::MenuImageBytes& image, const QString& title, const QString& programName, QDate made);

// Draws the card on the first page of `device` (a printer or a PDF writer), on
// the paper its page layout names, keeping a margin of its own inside the
// printable area. False when the device cannot be painted on.
bool DrawCard(QPagedPaintDevice& device, const Card& card);

// The card as a PDF 1.4 of one page, fonts embedded, title and creator set.
// Needs a QGuiApplication (fonts), not a display. Empty on failure.
QByteArray CardPdf(const Card& card, Paper paper);

}  // namespace card
