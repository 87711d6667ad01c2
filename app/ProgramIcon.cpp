#include "app/ProgramIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <array>

namespace {

constexpr std::array kSides = {16, 32, 48, 64, 128, 256};

class ProgramIconEngine final : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        // The smallest of the set that is at least as big as asked, else the biggest.
        std::size_t index = 0;
        while (index + 1 < kSides.size() && (kSides[index] < size.width() || kSides[index] < size.height())) ++index;
        QPixmap& pixmap = loaded_[index];
        if (pixmap.isNull()) pixmap.load(QString(":/icons/ovenmenu-%1.png").arg(kSides[index]), "PNG");
        if (pixmap.width() <= size.width() && pixmap.height() <= size.height()) return pixmap;
        return pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixmap(size, mode, state).size();
    }
    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        QList<QSize> sizes;
        for (int side : kSides) sizes.append(QSize(side, side));
        return sizes;
    }
    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }

private:
    std::array<QPixmap, kSides.size()> loaded_;
};

}  // namespace

QIcon ProgramIcon() {
    return QIcon(new ProgramIconEngine);
}
