#include "ui/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <cmath>

#include "ui/Accessibility.h"
#include "ui/Form.h"
#include "ui/Wheel.h"

namespace ui {

namespace {

constexpr const char* kNominalFont = "ovnNominalFont";
constexpr const char* kFittedSize = "ovnFittedSize";
constexpr double kSmallestPoints = 5.0;
constexpr double kShrinkStep = 0.25;

void Refit(QWidget* control) {
    const QVariant nominal = control->property(kNominalFont);
    if (nominal.isValid()) FitCaptionFont(control, nominal.value<QFont>());
}

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
            Refit(static_cast<QWidget*>(watched));
        return false;
    }
};

// A caption as a button shows it: "&" is doubled so that Qt draws it instead of making a mnemonic.
QString ButtonText(const QString& caption) {
    return CaptionText(caption).replace(u'&', QStringLiteral("&&"));
}

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

// ---------------------------------------------------------------- Label

Label::Label(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font,
             Qt::Alignment align, bool border)
    : QLabel(parent) {
    SetUpControl(this, name, place);
    setTextFormat(Qt::PlainText);
    if ((align & Qt::AlignVertical_Mask) == 0) align |= Qt::AlignTop;
    setAlignment(align);
    if (border) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    caption_ = caption;
    setText(CaptionText(caption));
    FitCaptionFont(this, MakeFont(font));
}

void Label::SetCaption(const QString& caption) {
    const QString oldText = text();
    caption_ = caption;
    setText(CaptionText(caption));
    Refit(this);
    LabelChanged(this, oldText);
}

QString Label::Caption() const {
    return caption_;
}

void Label::SetBackColor(std::uint32_t bgr) {
    // The text (and the border drawn in its colour) is chosen for the background:
    // the palette's own text colour may be white under a dark colour scheme.
    const QColor background = ColorFromBgr(bgr);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, TextColorOn(background));
    setPalette(colours);
    setAutoFillBackground(true);
}

void Label::SetWordWrap(bool wrap) {
    setWordWrap(wrap);
    Refit(this);
}

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font)
    : QCheckBox(parent) {
    SetUpControl(this, name, place);
    setText(ButtonText(caption));
    FitCaptionFont(this, MakeFont(font));
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick) onClick();
    });
}

int CheckBox::Value() const {
    return isChecked() ? 1 : 0;
}

bool CheckBox::SetValue(int value) {
    const bool checked = value != 0;
    if (checked == isChecked()) return false;
    setChecked(checked);
    if (onClick) onClick();
    return true;
}

// ---------------------------------------------------------------- OptionButton, OptionGroup

OptionButton::OptionButton(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font,
                           int index)
    : QRadioButton(parent), index_(index) {
    InstallAccessibleInterfaces();  // the radio button role, see ui/Accessibility.h
    SetUpControl(this, name, place);
    setAutoExclusive(false);  // the group keeps the buttons exclusive, so that it can also clear them all
    setText(ButtonText(caption));
    FitCaptionFont(this, MakeFont(font));
}

void OptionButton::nextCheckState() {
    if (!isChecked()) setChecked(true);
}

QString ArrayElementName(const QString& arrayName, int index) {
    return QStringLiteral("%1(%2)").arg(arrayName).arg(index);
}

OptionGroup::OptionGroup(const QString& name, QObject* owner) : QObject(owner), ButtonsByIndex(name) {
    setObjectName(name);
}

OptionButton* OptionGroup::Add(QWidget* parent, int index, Place place, const QString& caption, FontKind font) {
    OptionButton* button = Make(parent, index, place, caption, font);
    // A user's click checks an unchecked button (a click on the checked one changes nothing).
    connect(button, &QAbstractButton::toggled, this, [this, index](bool checked) {
        if (!checked || selecting_) return;
        Select(index);
        if (onClick) onClick(index);
    });
    return button;
}

bool OptionGroup::Value(int index) const {
    const OptionButton* button = Button(index);
    return button != nullptr && button->isChecked();
}

void OptionGroup::Select(int index) {
    selecting_ = true;
    for (const auto& [other, button] : buttons_) button->setChecked(other == index);
    selecting_ = false;
}

bool OptionGroup::SetValue(int index, bool selected) {
    OptionButton* button = Button(index);
    if (button == nullptr || button->isChecked() == selected) return false;
    if (!selected) {
        selecting_ = true;
        button->setChecked(false);
        selecting_ = false;
        return true;
    }
    Select(index);
    if (onClick) onClick(index);
    return true;
}

int OptionGroup::Selected() const {
    for (const auto& [index, button] : buttons_) {
        if (button->isChecked()) return index;
    }
    return -1;
}

// ---------------------------------------------------------------- Frame

Frame::Frame(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font)
    : QGroupBox(parent) {
    SetUpControl(this, name, place);
    setTitle(ButtonText(caption));
    FitCaptionFont(this, MakeFont(font));
}

// ---------------------------------------------------------------- CommandButton, CommandButtonArray

CommandButton::CommandButton(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font,
                             int index)
    : QPushButton(parent), index_(index) {
    SetUpControl(this, name, place);
    // Enter must never press a button by itself; Space does.
    setAutoDefault(false);
    setDefault(false);
    setText(ButtonText(caption));
    FitCaptionFont(this, MakeFont(font));
}

CommandButtonArray::CommandButtonArray(const QString& name, QObject* owner) : QObject(owner), ButtonsByIndex(name) {
    setObjectName(name);
}

CommandButton* CommandButtonArray::Add(QWidget* parent, int index, Place place, const QString& caption, FontKind font) {
    CommandButton* button = Make(parent, index, place, caption, font);
    connect(button, &QAbstractButton::clicked, this, [this, index] {
        if (onClick) onClick(index);
    });
    return button;
}

// ---------------------------------------------------------------- Line

Line::Line(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    const QPoint a(TwipsToPixels(x1), TwipsToPixels(y1));
    const QPoint b(TwipsToPixels(x2), TwipsToPixels(y2));
    const QRect box = QRect(a, b).normalized();  // includes both end points
    setGeometry(box);
    from_ = a - box.topLeft();
    to_ = b - box.topLeft();
}

void Line::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(from_, to_);
}

// ---------------------------------------------------------------- TextBox

namespace {

constexpr int kNoCharCode = -1;

// The character code a key carries: printable characters, Backspace 8, Delete 127,
// Enter 13, Ctrl with a letter its control code; kNoCharCode for the rest.
int CharCodeOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Delete:
            return 127;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        default:
            break;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & (Qt::AltModifier | Qt::MetaModifier)) != 0) return kNoCharCode;
    if ((mods & Qt::ControlModifier) != 0) {
        if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) return event.key() - Qt::Key_A + 1;
        return kNoCharCode;
    }
    const QString text = event.text();
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() != 127) return text[0].unicode();
    return kNoCharCode;
}

// Keys without a character code that only move the cursor or the selection.
bool IsNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return true;
        default:
            return false;
    }
}

}  // namespace

TextBox::TextBox(QWidget* parent, const QString& name, Place place, FontKind font, Qt::Alignment align)
    : QLineEdit(parent) {
    SetUpControl(this, name, place);
    setFont(MakeFont(font));
    setAlignment(align | Qt::AlignVCenter);
}

QString TextBox::Text() const {
    return text();
}

void TextBox::SetText(const QString& text) {
    setText(text);
}

void TextBox::SetBackColor(std::uint32_t bgr) {
    const QColor background = ColorFromBgr(bgr);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, TextColorOn(background));  // not the palette's, which may be white
    setPalette(colours);
    // Red marks an invalid entry; a screen reader hears it in words (Qt has no usable invalid state).
    setAccessibleDescription(bgr == kInvalidBackColor ? QStringLiteral("Invalid entry") : QString());
}

void TextBox::SetSystemBackColor() {
    // Back to the inherited palette: the platform's colour itself, not a copy of its value.
    setPalette(QPalette());
    setAccessibleDescription(QString());
}

QColor TextBox::BackColor() const {
    return palette().color(QPalette::Base);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (!onKeyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int code = CharCodeOf(*event);
    if (code == kNoCharCode) {
        if (IsNavigationKey(event->key())) {
            QLineEdit::keyPressEvent(event);
        } else {
            event->ignore();  // Escape, Tab, function keys, Shift+Insert...: never edit the text
        }
        return;
    }
    event->accept();
    // A control code may be a window shortcut, which runs after the handler (below).
    auto* form = code < 32 ? qobject_cast<Form*>(window()) : nullptr;
    if (form != nullptr) form->ShortcutKeyArrives(*event);
    const int result = onKeyPress(code);
    if (result == 8) {
        backspace();
    } else if (result == 127) {
        del();
    } else if (result >= 32) {
        insert(QString(QChar(result)));
    }
    // 0, 13 and other control codes insert nothing.
    // The handler has seen the key; a window shortcut on it runs as well (Ctrl+P in an item box).
    if (form != nullptr) form->RunShortcut(*event);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Only leaving the box within its window counts; a popup or another window taking over does not.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
    if (onLostFocus) onLostFocus();
}

bool TextBox::event(QEvent* event) {
    if (onKeyPress) {
        switch (event->type()) {
            case QEvent::ShortcutOverride:
                // Keys with a character code belong to the handler, not to window shortcuts.
                if (CharCodeOf(*static_cast<QKeyEvent*>(event)) != kNoCharCode) {
                    event->accept();
                    return true;
                }
                break;
            case QEvent::FocusIn:
                setAttribute(Qt::WA_InputMethodEnabled, false);
                break;
            // The context menu's editing commands, drops and input methods would bypass the key handler.
            case QEvent::ContextMenu:
                event->accept();
                return true;
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::InputMethod:
                event->ignore();
                return true;
            case QEvent::MouseButtonRelease:
                // The middle button pastes the X11 selection.
                if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
                    event->accept();
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QLineEdit::event(event);
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(QWidget* parent, const QString& name, Place place, FontKind font) : QComboBox(parent) {
    SetUpControl(this, name, place);
    setFont(MakeFont(font));
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);  // the wheel must not take the focus and change the choice
    // A user's choice, by mouse or keyboard.
    connect(this, &QComboBox::activated, this, [this] {
        if (onClick) onClick();
    });
}

void ComboBox::Clear() {
    clear();
}

void ComboBox::AddItem(const QString& entry) {
    const int before = currentIndex();
    addItem(entry);
    if (before < 0 && currentIndex() != before) {
        // Qt selects the first entry of an empty list by itself.
        const QSignalBlocker blocker(this);
        setCurrentIndex(-1);
    }
}

int ComboBox::ListCount() const {
    return count();
}

QString ComboBox::Text() const {
    return currentIndex() < 0 ? QString() : currentText();
}

bool ComboBox::SetText(const QString& text) {
    return SetListIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

int ComboBox::ListIndex() const {
    return currentIndex();
}

bool ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    if (index == currentIndex()) return false;
    setCurrentIndex(index);
    if (onClick) onClick();
    return true;
}

void ComboBox::wheelEvent(QWheelEvent* event) {
    if (RefuseWheelWithoutFocus(*this, *event)) return;
    QComboBox::wheelEvent(event);
}

// ---------------------------------------------------------------- ListBox

ListBox::ListBox(QWidget* parent, const QString& name, Place place, FontKind font)
    : PickList(parent, name, place, MakeFont(font)) {}

void ListBox::Clear() {
    clear();
}

void ListBox::AddItem(const QString& line) {
    addItem(line);
}

void ListBox::SetList(int index, const QString& line) {
    if (QListWidgetItem* entry = item(index)) entry->setText(line);
}

void ListBox::Refresh() {
    viewport()->update();
}

}  // namespace ui
