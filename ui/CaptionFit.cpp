#include "ui/CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr const char* kNominalFont = "ovnNominalFont";
constexpr const char* kFittedSize = "ovnFittedSize";
constexpr double kSmallestPoints = 5.0;
constexpr double kShrinkStep = 0.25;

// Fits the caption again whenever a window moves or resizes one of its controls.
class RefitOnResize : public QObject {
public:
    static RefitOnResize* Instance() {
        static RefitOnResize* instance = new RefitOnResize;
        return instance;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The resize a control gets when first shown leaves it the size it was fitted at.
        if (event->type() == QEvent::Resize &&
            static_cast<QResizeEvent*>(event)->size() != watched->property(kFittedSize).toSize())
            RefitCaption(static_cast<QWidget*>(watched));
        return false;
    }
};

bool SizeFits(const QSize& need, const QRect& box) {
    return need.width() <= box.width() && need.height() <= box.height();
}

// The size a caption needs and the box it has; an empty caption needs nothing.
struct CaptionSpace {
    QSize need;
    QRect box;
};

CaptionSpace LabelSpace(const QLabel& label) {
    if (label.text().isEmpty()) return {};
    const QRect box = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
    int flags = static_cast<int>(label.alignment());
    if (label.wordWrap()) flags |= Qt::TextWordWrap;
    return {QFontMetrics(label.font()).boundingRect(box, flags, label.text()).size(), box};
}

CaptionSpace ButtonSpace(const QAbstractButton& button) {
    if (button.text().isEmpty()) return {};
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.rect = button.rect();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&button) != nullptr) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(&button) != nullptr) contents = QStyle::SE_RadioButtonContents;
    return {QFontMetrics(button.font()).size(Qt::TextShowMnemonic, button.text()),
            button.style()->subElementRect(contents, &option, &button)};
}

CaptionSpace GroupBoxSpace(const QGroupBox& frame, bool* inside) {
    if (frame.title().isEmpty()) return {};
    QStyleOptionGroupBox option;
    option.initFrom(&frame);
    option.text = frame.title();
    option.rect = frame.rect();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = frame.alignment();
    const QRect label = frame.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &frame);
    *inside = frame.rect().contains(label);
    const QSize need = QFontMetrics(frame.font()).size(Qt::TextShowMnemonic, frame.title());
    return {QSize(need.width(), 0), QRect(label.topLeft(), QSize(label.width(), 0))};
}

CaptionSpace SpaceOf(const QWidget* control, bool* inside) {
    *inside = true;
    if (const auto* label = qobject_cast<const QLabel*>(control)) return LabelSpace(*label);
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return ButtonSpace(*button);
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) return GroupBoxSpace(*frame, inside);
    return {};
}

// The point size at which the caption would just fill its box, taking its size
// to grow in proportion to the font: a first guess, checked by measuring.
double ProportionalPoints(const QWidget* control, double points) {
    bool inside = true;
    const CaptionSpace space = SpaceOf(control, &inside);
    double scale = 1.0;
    if (space.need.width() > 0) scale = std::min(scale, double(space.box.width()) / space.need.width());
    if (space.need.height() > 0) scale = std::min(scale, double(space.box.height()) / space.need.height());
    return points * scale;
}

}  // namespace

bool CaptionFits(const QWidget* control) {
    bool inside = true;
    const CaptionSpace space = SpaceOf(control, &inside);
    return inside && SizeFits(space.need, space.box);
}

void FitCaptionFont(QWidget* control, const QFont& font) {
    if (!control->property(kNominalFont).isValid()) control->installEventFilter(RefitOnResize::Instance());
    control->setProperty(kNominalFont, font);
    control->setProperty(kFittedSize, control->size());
    control->setFont(font);
    if (CaptionFits(control)) return;

    // The largest size in steps of kShrinkStep below the nominal one that fits (the smallest
    // allowed when none does). Each size tried costs a font of its own, so the search starts
    // at the proportional guess rather than walking down from the nominal size.
    const double nominal = font.pointSizeF();
    QFont fitted = font;
    const auto fitsAt = [&](double points) {
        fitted.setPointSizeF(points);
        control->setFont(fitted);
        return CaptionFits(control);
    };
    const auto steps = [&](double points) { return std::floor((nominal - points) / kShrinkStep + 1e-9); };
    double points = nominal - std::max(1.0, steps(ProportionalPoints(control, nominal))) * kShrinkStep;
    points = std::max(points, nominal - steps(kSmallestPoints) * kShrinkStep);
    if (fitsAt(points)) {
        while (points + kShrinkStep < nominal && fitsAt(points + kShrinkStep)) points += kShrinkStep;
    } else {
        while (points - kShrinkStep >= kSmallestPoints) {
            points -= kShrinkStep;
            if (fitsAt(points)) break;
        }
    }
    fitsAt(points);  // the last size tried may have been another
}

void RefitCaption(QWidget* control) {
    const QVariant nominal = control->property(kNominalFont);
    if (nominal.isValid()) FitCaptionFont(control, nominal.value<QFont>());
}

}  // namespace ui
