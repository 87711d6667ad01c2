// A window: fixed client size in twips, title, placement in screen twips,
// modeless or modal show. A modal show returns only after the window has
// unloaded itself. Dialogs are transient for their owner, have no close,
// minimise or maximise buttons, cannot be resized, and are kept inside the
// screen's available area. Escape and the close box do not close them.
// Placement is by the outer frame, which a window manager reports only after
// the first show: the placement given to PlaceBy runs again at the first show
// and whenever the frame around the window changes size, so the frame lands
// where it belongs.
// Window shortcuts run while the window is active, wherever the focus is in
// it: a text box with a key handler gives the key to its handler first and
// then to the window; other windows (dialogs) keep their own keys. Since that
// handler may change what the shortcut looks at, onShortcutKey runs as a bound
// key arrives, before any control has handled it.
#pragma once

#include <QKeySequence>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace ui {

class Form : public QWidget {
    Q_OBJECT
public:
    // `name` becomes the objectName ("frmOpening", "frmMEMessage100", ...).
    // With an owner the form is a dialog, transient for the owner.
    Form(const QString& name, int clientWidthTwips, int clientHeightTwips, QWidget* owner = nullptr);
    ~Form() override;

    void SetCaption(const QString& caption);  // the window title, exactly as given
    QString Caption() const;

    // Outer frame of the window in screen twips.
    int LeftTwips() const;
    int TopTwips() const;
    int WidthTwips() const;
    int HeightTwips() const;
    // The centre of the outer frame in screen twips: left + width / 2 and
    // top + height / 2 in single precision, a half to the even neighbour.
    QPoint CenterTwips() const;
    // Moves the window's outer top-left corner; a dialog is kept inside the available screen area.
    void MoveTwips(int left, int top);
    // Puts the window where it belongs through `place` (which calls MoveTwips)
    // now, and again when the frame is known or changes (see above).
    void PlaceBy(std::function<void()> place);
    static int ScreenWidthTwips();
    static int ScreenHeightTwips();

    void ShowModeless();
    // Shows the window application-modal and returns after Unload(). Under a
    // ModalScript the script answers instead of the user (see ModalShow.h).
    void ShowModal();
    // Hides the window and ends its modal show. Safe to call more than once.
    void Unload();
    bool IsUnloaded() const;

    // Asked when the desktop asks to close the window (close box, Alt+F4);
    // return true to let it close. Without a handler the request is refused.
    std::function<bool()> onQueryUnload;

    // Binds a key (Ctrl+P) to `run` while this window is active (see above).
    void AddShortcut(const QKeySequence& keys, std::function<void()> run);
    // Runs the shortcut bound to the event's key; true when one ran.
    bool RunShortcut(const QKeyEvent& event);
    // Runs first for every key bound to a shortcut, wherever the focus is: the
    // window notes its state as it stood before the key (see above).
    std::function<void()> onShortcutKey;
    // A text box calls this before its own handler sees a key; runs
    // onShortcutKey when the key is bound to a shortcut.
    void ShortcutKeyArrives(const QKeyEvent& event);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Place();
    const std::function<void()>* ShortcutOf(const QKeyEvent& event) const;
    struct Impl;
    Impl* impl_;
};

}  // namespace ui
