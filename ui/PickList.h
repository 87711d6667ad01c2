// A list of lines in which exactly one line is current, selected and
// highlighted at a time (or none). Mouse and key input are interpreted here
// rather than by Qt's item view, so that the three never disagree, even when
// a handler moves the selection again from inside its own event: the target
// line is computed, the selection is set in one step, then Picked() runs.
#pragma once

#include <QListWidget>
#include <functional>

#include "ui/Geometry.h"

namespace ui {

class PickList : public QListWidget {
    Q_OBJECT
public:
    PickList(QWidget* parent, const QString& name, Place place, const QFont& font);
    int CurrentRow() const;  // -1 for none

    // The list as the windows use it.
    int ListCount() const;
    QString List(int index) const;  // "" outside the list
    int ListIndex() const;          // -1 for none
    bool SetListIndex(int index);   // raises onClick when the line changes
    std::function<void()> onClick;  // follows every change of the selected line, and a click

protected:
    // Makes `row` (-1 for none) the current, selected and highlighted line; raises nothing.
    void MoveTo(int row);
    // The program picks `row` (out of range: none): raises Picked() when the line changed; says whether it did.
    bool ProgramPick(int row);
    // Runs after the user or the program picked a line; raises onClick.
    virtual void Picked();
    // Double click or Enter on a line; return false to let Enter go on to the window.
    virtual bool Activated(int row) {
        (void)row;
        return false;
    }
    // The user picked `row`: moves there and raises Picked() when the line changed or `always`.
    void UserPick(int row, bool always);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    int RowForKey(const QKeyEvent& event) const;  // -2 when the key picks no line
    int TypeAheadRow(QChar key) const;
};

}  // namespace ui
