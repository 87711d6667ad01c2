#include "card/MenuCard.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"
#include "ovn/Version.h"

namespace card {

namespace {

// A name byte the oven's display has no sign for (a control byte, only in a
// damaged file) prints as the replacement character; every other byte as its
// Latin-1 character, a backslash as a backslash.
QString NameAsOvenShows(const std::string& bytes) {
    QString name = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (QChar& c : name) {
        if (c.unicode() < 32 || (c.unicode() >= 127 && c.unicode() < 160)) c = QChar::ReplacementCharacter;
    }
    return name;
}

QString Capitalised(const char* word) {
    QString text = QString::fromLatin1(word);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

// Everything below is in points (1/72 inch) on the sheet.
constexpr double kMargin = 24;
constexpr double kColumnGap = 14;
constexpr double kTitleSize = 16;
constexpr double kHeadingSize = 10;
constexpr double kNameSize = 10;  // the names stand out from the 9-point values
constexpr double kValueSize = 9;
constexpr double kMaxRowHeight = 15;
constexpr double kCellPadding = 6;
constexpr int kPagesPerColumn = ovn::kPageCount / 2;
constexpr int kLinesPerColumn = kPagesPerColumn * (ovn::kItemsPerPage + 1);

const QColor kInk(0, 0, 0);
const QColor kFreeInk(150, 150, 150);
const QColor kRuleInk(120, 120, 120);
const QColor kStripe(238, 238, 238);
const QColor kWarningInk(170, 0, 0);

// The table's cells, left to right. A header has two lines so that the
// narrow value columns can carry their units.
enum Cell { kItem, kName, kCookTemp, kPower, kCookTime, kFan, kHold, kCellCount };
struct CellHeader {
    const char* top;
    const char* bottom;
    Qt::Alignment align;
};
constexpr CellHeader kHeaders[kCellCount] = {
    {"", "Item", Qt::AlignRight},   {"", "Name", Qt::AlignLeft},      {"Cook", "°F", Qt::AlignRight},
    {"Power", "%", Qt::AlignRight}, {"Cook", "time", Qt::AlignRight}, {"", "Fan", Qt::AlignLeft},
    {"Hold", "°F", Qt::AlignRight},
};

std::array<QString, kCellCount> CellTexts(const CardSlot& slot, int item) {
    std::array<QString, kCellCount> texts;
    texts[kItem] = QString::number(item);
    if (slot.name.isEmpty()) return texts;
    const ovn::ShownSlot& values = slot.values;
    texts[kName] = slot.name;
    texts[kCookTemp] = QString::fromLatin1(values.cookTemp);
    texts[kPower] = QString::fromLatin1(values.powerLevel);
    texts[kCookTime] = QString::fromLatin1(values.cookTime);
    texts[kFan] = QString::fromLatin1(values.fanSpeed);
    if (values.roastNHold) texts[kHold] = QString::fromLatin1(values.holdTemp);
    return texts;
}

class CardPainter {
public:
    CardPainter(QPainter& painter, double devicePixelsPerPoint, const Card& card)
        : painter_(painter), pixelsPerPoint_(devicePixelsPerPoint), card_(card) {}

    void Draw(const QRectF& sheet) {
        double y = sheet.top();
        y = DrawHeading(sheet, y);
        const double columnWidth = (sheet.width() - kColumnGap) / 2;
        const std::array<double, kCellCount> widths = CellWidths(columnWidth);
        for (int column = 0; column < 2; ++column) {
            const double left = sheet.left() + column * (columnWidth + kColumnGap);
            DrawColumn(QRectF(left, y, columnWidth, sheet.bottom() - y), column, widths);
        }
    }

private:
    // Point sizes on a painter scaled to points: the device would scale a point size once more.
    QFont Font(double points, bool bold) const {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(points / pixelsPerPoint_);
        font.setBold(bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    }

    void Text(const QRectF& box, Qt::Alignment align, const QString& text, const QFont& font, const QColor& ink) {
        painter_.setFont(font);
        painter_.setPen(ink);
        painter_.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
    }

    double DrawHeading(const QRectF& sheet, double y) {
        Text(QRectF(sheet.left(), y, sheet.width(), 22), Qt::AlignLeft, card_.title, Font(kTitleSize, true), kInk);
        y += 24;
        const QString facts = QStringLiteral("Oven: %1      Made: %2      %3")
                                  .arg(card_.ovenType, card_.made.toString(Qt::ISODate), card_.program);
        Text(QRectF(sheet.left(), y, sheet.width(), 14), Qt::AlignLeft, facts, Font(kHeadingSize, false), kInk);
        y += 16;
        if (card_.damaged) {
            const QString warning = QStringLiteral(
                "This menu file is damaged: it fails its checks. The values are printed as they decode.");
            Text(QRectF(sheet.left(), y, sheet.width(), 14), Qt::AlignLeft, warning, Font(kHeadingSize, true),
                 kWarningInk);
            y += 16;
        }
        painter_.setPen(QPen(kRuleInk, 0.75));
        painter_.drawLine(QPointF(sheet.left(), y + 2), QPointF(sheet.right(), y + 2));
        return y + 8;
    }

    // Each cell as wide as its widest text and a padding; what a column has
    // left over goes between the values.
    std::array<double, kCellCount> CellWidths(double columnWidth) const {
        std::array<double, kCellCount> widths{};
        const QFontMetricsF header(Font(kValueSize, true), painter_.device());
        for (int cell = 0; cell < kCellCount; ++cell) {
            widths[cell] = std::max(header.horizontalAdvance(QString::fromUtf8(kHeaders[cell].top)),
                                    header.horizontalAdvance(QString::fromUtf8(kHeaders[cell].bottom)));
        }
        const QFontMetricsF name(Font(kNameSize, true), painter_.device());
        const QFontMetricsF value(Font(kValueSize, false), painter_.device());
        for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
            const auto texts = CellTexts(card_.places[static_cast<std::size_t>(slot)], slot % ovn::kItemsPerPage);
            for (int cell = 0; cell < kCellCount; ++cell) {
                const QFontMetricsF& metrics = cell == kName ? name : value;
                widths[cell] = std::max(widths[cell], metrics.horizontalAdvance(texts[static_cast<std::size_t>(cell)]));
            }
        }
        double total = 0;
        for (double& width : widths) {
            width += kCellPadding;
            total += width;
        }
        // Texts wider than the column leave nothing over; DrawColumn narrows them.
        const double spare = std::max(0.0, columnWidth - total) / (kCellCount - kCookTemp);
        for (int cell = kCookTemp; cell < kCellCount; ++cell) widths[cell] += spare;
        return widths;
    }

    void DrawColumn(const QRectF& area, int column, const std::array<double, kCellCount>& widths) {
        const double headerHeight = 2 * (kValueSize + 2);
        const double rowHeight = std::min(kMaxRowHeight, (area.height() - headerHeight - 4) / kLinesPerColumn);
        // Cells too wide for the column (very wide names of a damaged file) are
        // narrowed together rather than cut: every character stays on the card.
        double natural = 0;
        for (const double width : widths) natural += width;
        const double squeeze = std::min(1.0, area.width() / natural);
        painter_.save();
        painter_.translate(area.left(), 0);
        painter_.scale(squeeze, 1);

        std::array<double, kCellCount + 1> edges{};
        for (int cell = 0; cell < kCellCount; ++cell) edges[cell + 1] = edges[cell] + widths[cell];
        const double right = edges[kCellCount];
        auto box = [&](int cell, double top, double height) {
            return QRectF(edges[cell] + kCellPadding / 2, top, edges[cell + 1] - edges[cell] - kCellPadding, height);
        };

        double y = area.top();
        const QFont headerFont = Font(kValueSize, true);
        for (int cell = 0; cell < kCellCount; ++cell) {
            Text(box(cell, y, kValueSize + 2), kHeaders[cell].align, QString::fromUtf8(kHeaders[cell].top), headerFont,
                 kInk);
            Text(box(cell, y + kValueSize + 2, kValueSize + 2), kHeaders[cell].align,
                 QString::fromUtf8(kHeaders[cell].bottom), headerFont, kInk);
        }
        y += headerHeight + 4;

        const QFont pageFont = Font(kValueSize, true);
        const QFont nameFont = Font(kNameSize, true);
        const QFont valueFont = Font(kValueSize, false);
        for (int page = column * kPagesPerColumn; page < (column + 1) * kPagesPerColumn; ++page) {
            painter_.setPen(QPen(kRuleInk, 0.5));
            painter_.drawLine(QPointF(0, y + rowHeight), QPointF(right, y + rowHeight));
            Text(QRectF(kCellPadding / 2, y, right, rowHeight), Qt::AlignLeft, QStringLiteral("Page %1").arg(page + 1),
                 pageFont, kInk);
            y += rowHeight;
            for (int item = 0; item < ovn::kItemsPerPage; ++item) {
                const CardSlot& slot = card_.places[static_cast<std::size_t>(page * ovn::kItemsPerPage + item)];
                if (item % 2 == 1) painter_.fillRect(QRectF(0, y, right, rowHeight), kStripe);
                const auto texts = CellTexts(slot, item);
                const QColor& ink = slot.name.isEmpty() ? kFreeInk : kInk;
                for (int cell = 0; cell < kCellCount; ++cell) {
                    Text(box(cell, y, rowHeight), kHeaders[cell].align, texts[static_cast<std::size_t>(cell)],
                         cell == kName ? nameFont : valueFont, ink);
                }
                y += rowHeight;
            }
        }
        painter_.restore();
    }

    QPainter& painter_;
    double pixelsPerPoint_;
    const Card& card_;
};

}  // namespace

Card MakeCard(const ovn::MenuImageBytes& image, const QString& title, const QString& programName, QDate made) {
    ovn::MenuItemTable items;
    ovn::SystemBlockBytes systemBlock{};
    ovn::DecodeMenu(image, items, systemBlock);
    Card card;
    card.title = title;
    card.ovenType = Capitalised(ovn::OvenTypeName(ovn::OvenTypeOfSystemBlock(systemBlock)));
    card.made = made;
    card.program = programName + QLatin1Char(' ') + QString::fromLatin1(ovn::kVersion);
    card.damaged = !ovn::CheckMenuImage(image).ok();
    for (std::size_t slot = 0; slot < items.size(); ++slot) {
        card.places[slot] = CardSlot{NameAsOvenShows(items[slot].Name), ovn::ShowSlot(items[slot])};
    }
    return card;
}

bool DrawCard(QPagedPaintDevice& device, const Card& card) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QPageLayout layout = device.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    const double pixelsPerPoint = device.logicalDpiY() / 72.0;
    painter.scale(pixelsPerPoint, pixelsPerPoint);
    // The painter starts at the printable area's corner; the card is placed on the paper.
    painter.translate(-printable.topLeft());
    const QRectF sheet = paper.adjusted(kMargin, kMargin, -kMargin, -kMargin).intersected(printable);
    CardPainter(painter, pixelsPerPoint, card).Draw(sheet);
    return painter.end();
}

QByteArray CardPdf(const Card& card, Paper paper) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
        writer.setTitle(card.title);
        writer.setCreator(card.program);
        const QPageSize size(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4);
        writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        if (!DrawCard(writer, card)) return {};
    }
    return bytes;
}

}  // namespace card
