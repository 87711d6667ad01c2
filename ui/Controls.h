// The controls the windows are written against. Each is a real Qt widget with
// its objectName set to the window's control name ("txtName", "cmdBut(3)").
//
// Guarantees the windows rely on (each one is proven by a test offscreen):
//  - A program-made change of a list's selected line, a combo's choice, a check
//    box's value or an option button runs the control's click handler to its end
//    before the setter returns, exactly as a user action would. A setter that
//    changes nothing raises nothing and returns false.
//  - Option groups can be set to no choice (both buttons clear). A click on the
//    chosen button changes nothing and raises nothing.
//  - ListBox (every PickList): onClick follows every change of the current
//    line (mouse, arrows, Page Up/Down, Home/End, type-ahead, program) and a
//    user's click on any line, the current one included; clearing raises nothing. A handler that puts the
//    selection back leaves highlight, selection and current line in agreement.
//    Ctrl+click and clicks on empty space never leave it without a selection.
//  - TextBox: onKeyPress runs for every key carrying a character code (printable,
//    Backspace 8, Delete 127, Enter 13, Ctrl+letter as its control code); it may
//    replace the code, 0 drops it; 8 and 127 edit, never insert. A box with a key
//    handler takes text only through it: no context-menu editing, drops, input
//    methods, or paste/cut/undo shortcuts (they reach the handler as control
//    codes). A control code then runs the window's shortcut on that key, if
//    any (Form::AddShortcut; Form::onShortcutKey runs before the handler).
//    onLostFocus follows leaving the box for another control; not when
//    another window (a modal dialog) or a popup takes the focus.
//  - Index setters treat an index out of range as -1 (no choice).
//  - ComboBox: a text that is no entry leaves no choice (index -1); filling an
//    empty list selects nothing; a keyboard choice raises onClick; the wheel does
//    nothing unless the combo has the focus.
//  - CommandButton: never a default button; Enter does not press it, Space does.
//  - Captions that do not fit their box get a font shrunk just enough.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>

#include "ui/CaptionFit.h"
#include "ui/Geometry.h"
#include "ui/PickList.h"

namespace ui {

// The name of element `index` of a control array: "cmdBut(3)".
QString ArrayElementName(const QString& arrayName, int index);

class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font,
          Qt::Alignment align = Qt::AlignLeft, bool border = false);
    void SetCaption(const QString& caption);  // "\r\n" starts a new line
    QString Caption() const;                  // as set, "\r\n" kept
    void SetBackColor(std::uint32_t bgr);     // with a text colour that stands out on it
    void SetWordWrap(bool wrap);

private:
    QString caption_;
};

// The character codes of the editing keys, as a text box's key handler sees
// and answers them (see onKeyPress); codes from kFirstPrintable up insert.
inline constexpr int kCharBackspace = 8;
inline constexpr int kCharEnter = 13;
inline constexpr int kFirstPrintable = 32;
inline constexpr int kCharDelete = 127;

// The back colour of a text box holding an invalid entry (red, 0x00BBGGRR).
inline constexpr std::uint32_t kInvalidBackColor = 255;

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(QWidget* parent, const QString& name, Place place, FontKind font, Qt::Alignment align = Qt::AlignLeft);
    QString Text() const;
    void SetText(const QString& text);     // raises no key event
    void SetBackColor(std::uint32_t bgr);  // with a text colour that stands out on it
    void SetSystemBackColor();             // the platform's window background
    QColor BackColor() const;

    // Character code in, code to use out (0 drops the key).
    std::function<int(int keyChar)> onKeyPress;
    std::function<void()> onLostFocus;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
};

// Drop-down list whose text can only be one of its entries.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    ComboBox(QWidget* parent, const QString& name, Place place, FontKind font);
    void Clear();
    void AddItem(const QString& entry);
    int ListCount() const;
    QString Text() const;
    bool SetText(const QString& text);  // selects the matching entry, or none
    int ListIndex() const;
    bool SetListIndex(int index);  // -1 for none
    std::function<void()> onClick;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class ListBox : public PickList {
    Q_OBJECT
public:
    ListBox(QWidget* parent, const QString& name, Place place, FontKind font);
    void Clear();
    void AddItem(const QString& line);
    void SetList(int index, const QString& line);
    void Refresh();
};

class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    CheckBox(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font);
    int Value() const;  // 0 clear, 1 set
    bool SetValue(int value);
    std::function<void()> onClick;
};

class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    OptionButton(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font, int index);
    int Index() const { return index_; }

protected:
    void nextCheckState() override;  // a click selects, never clears

private:
    int index_;
};

// The buttons of a control array by index; a button's objectName is "name(index)".
template <class Control>
class ButtonsByIndex {
public:
    Control* Button(int index) const {
        const auto found = buttons_.find(index);
        return found == buttons_.end() ? nullptr : found->second;
    }

protected:
    explicit ButtonsByIndex(const QString& name) : name_(name) {}
    Control* Make(QWidget* parent, int index, Place place, const QString& caption, FontKind font) {
        auto* button = new Control(parent, ArrayElementName(name_, index), place, caption, font, index);
        buttons_[index] = button;
        return button;
    }
    std::map<int, Control*> buttons_;

private:
    QString name_;
};

// One group of mutually exclusive option buttons forming a control array.
class OptionGroup : public QObject, public ButtonsByIndex<OptionButton> {
    Q_OBJECT
public:
    explicit OptionGroup(const QString& name, QObject* owner = nullptr);
    OptionButton* Add(QWidget* parent, int index, Place place, const QString& caption, FontKind font);
    bool Value(int index) const;
    // true selects the button (the others clear) and raises onClick(index) when it
    // was not selected; false clears it and raises nothing.
    bool SetValue(int index, bool selected);
    int Selected() const;  // -1 when none
    std::function<void(int index)> onClick;

private:
    void Select(int index);  // checks `index`, clears the others, raises nothing
    bool selecting_ = false;
};

class Frame : public QGroupBox {
    Q_OBJECT
public:
    Frame(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font);
};

class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(QWidget* parent, const QString& name, Place place, const QString& caption, FontKind font, int index);
    int Index() const { return index_; }

private:
    int index_;
};

class CommandButtonArray : public QObject, public ButtonsByIndex<CommandButton> {
    Q_OBJECT
public:
    explicit CommandButtonArray(const QString& name, QObject* owner = nullptr);
    CommandButton* Add(QWidget* parent, int index, Place place, const QString& caption, FontKind font);
    std::function<void(int index)> onClick;
};

// A straight line of one pixel between two points given in twips.
class Line : public QWidget {
    Q_OBJECT
public:
    Line(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_;
    QPoint to_;
};

}  // namespace ui
