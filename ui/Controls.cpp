#include "ui/Controls.h"

#include <QPainter>

#include "ui/Accessibility.h"
#include "ui/Wheel.h"

namespace ui {

namespace {

// A caption as a button shows it: "&" is doubled so that Qt draws it instead of making a mnemonic.
QString ButtonText(const QString& caption) {
    return CaptionText(caption).replace(u'&', QStringLiteral("&&"));
}

}  // namespace

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
    RefitCaption(this);
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
    colours.setColor(QPalette::Active, QPalette::WindowText, TextColorOn(background));
    colours.setColor(QPalette::Inactive, QPalette::WindowText, TextColorOn(background));
    setPalette(colours);
    setAutoFillBackground(true);
}

void Label::SetWordWrap(bool wrap) {
    setWordWrap(wrap);
    RefitCaption(this);
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
