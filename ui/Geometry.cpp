#include "ui/Geometry.h"

#include <QFile>
#include <QWidget>
#include <algorithm>
#include <cfenv>
#include <cmath>

namespace ui {

int TwipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

QRect ToPixels(const Place& place) {
    // Edges are rounded, not the width, so that controls that meet in twips meet in pixels.
    const int left = TwipsToPixels(place.left);
    const int top = TwipsToPixels(place.top);
    const int right = TwipsToPixels(place.left + place.width);
    const int bottom = TwipsToPixels(place.top + place.height);
    return QRect(left, top, right - left, bottom - top);
}

void SetUpControl(QWidget* control, const QString& name, Place place) {
    control->setObjectName(name);
    control->setGeometry(ToPixels(place));
}

std::int32_t RoundHalfEven(float value) {
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const auto result = static_cast<std::int32_t>(std::nearbyint(value));
    std::fesetround(previous);
    return result;
}

QColor ColorFromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

namespace {
// WCAG 2 relative luminance of an sRGB colour.
double RelativeLuminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}
}  // namespace

double ContrastRatio(const QColor& first, const QColor& second) {
    const double one = RelativeLuminance(first);
    const double other = RelativeLuminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

QColor TextColorOn(const QColor& background) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

QString CaptionText(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c == u'\r') {
            text += u'\n';
            if (i + 1 < caption.size() && caption[i + 1] == u'\n') ++i;
        } else if (c == u'&' && i + 1 < caption.size() && caption[i + 1] == u'&') {
            text += u'&';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

QString FromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLatin1(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QFont MakeFont(FontKind kind) {
    QFont font;
    double points = 9.75;
    bool fixedPitch = false;
    switch (kind) {
        case FontKind::Default:
            points = 9.75;
            break;
        case FontKind::A:
            points = 13.5;
            break;
        case FontKind::B:
        case FontKind::Message:
            points = 12;
            break;
        case FontKind::C:
            points = 15;
            fixedPitch = true;
            break;
    }
    if (fixedPitch) {
        font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    // The menu's texts are Latin-1, which these families cover whole: looking up
    // fallback fonts for other characters would only slow the start-up.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

QFont MakeFontForNames(FontKind kind) {
    QFont font = MakeFont(kind);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

}  // namespace ui
