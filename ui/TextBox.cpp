// The text box: a key handler that sees every character code before the box
// does, and the routes around it (context menu, drops, input methods) closed.
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace ui {

namespace {

constexpr int kNoCharCode = -1;

// The character code a key carries: printable characters, kCharBackspace, kCharDelete,
// kCharEnter, Ctrl with a letter its control code; kNoCharCode for the rest.
int CharCodeOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Backspace:
            return kCharBackspace;
        case Qt::Key_Delete:
            return kCharDelete;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kCharEnter;
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
    if (text.size() == 1 && text[0].unicode() >= kFirstPrintable && text[0].unicode() != kCharDelete)
        return text[0].unicode();
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
    // Not the palette's, which may be white; a disabled box keeps the palette's greyed text.
    colours.setColor(QPalette::Active, QPalette::Text, TextColorOn(background));
    colours.setColor(QPalette::Inactive, QPalette::Text, TextColorOn(background));
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
    auto* form = code < kFirstPrintable ? qobject_cast<Form*>(window()) : nullptr;
    if (form != nullptr) form->ShortcutKeyArrives(*event);
    const int result = onKeyPress(code);
    if (result == kCharBackspace) {
        backspace();
    } else if (result == kCharDelete) {
        del();
    } else if (result >= kFirstPrintable) {
        insert(QString(QChar(result)));
    }
    // 0, kCharEnter and other control codes insert nothing.
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

}  // namespace ui
