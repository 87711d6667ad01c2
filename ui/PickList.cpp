#include "ui/PickList.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

namespace {
constexpr int kNoRow = -2;
}

PickList::PickList(QWidget* parent, const QString& name, Place place, const QFont& font) : QListWidget(parent) {
    SetUpControl(this, name, place);
    setFont(font);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int PickList::CurrentRow() const {
    return currentRow();
}

int PickList::ListCount() const {
    return count();
}

QString PickList::List(int index) const {
    const QListWidgetItem* line = item(index);
    return line == nullptr ? QString() : line->text();
}

int PickList::ListIndex() const {
    return CurrentRow();
}

bool PickList::SetListIndex(int index) {
    return ProgramPick(index);
}

void PickList::Picked() {
    if (onClick) onClick();
}

void PickList::MoveTo(int row) {
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

bool PickList::ProgramPick(int row) {
    if (row < -1 || row >= count()) row = -1;
    if (row == currentRow()) return false;
    MoveTo(row);
    Picked();
    return true;
}

void PickList::UserPick(int row, bool always) {
    if (row < 0 || row >= count()) return;
    const bool changed = row != currentRow() || selectedItems().size() != 1;
    MoveTo(row);
    if (changed || always) Picked();
}

void PickList::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) UserPick(index.row(), true);  // empty space picks nothing
}

void PickList::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    // The first press of the double click has raised its click already.
    UserPick(index.row(), false);
    Activated(index.row());
}

void PickList::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void PickList::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

int PickList::TypeAheadRow(QChar key) const {
    const int n = count();
    const QChar wanted = key.toCaseFolded();
    for (int step = 1; step <= n; ++step) {
        const int row = (currentRow() + step + n) % n;
        const QString line = item(row)->text().trimmed();
        if (!line.isEmpty() && line[0].toCaseFolded() == wanted) return row;
    }
    return kNoRow;
}

int PickList::RowForKey(const QKeyEvent& event) const {
    const int n = count();
    if (n == 0) return kNoRow;
    const int current = currentRow();
    const int rowHeight = std::max(1, sizeHintForRow(0));
    const int page = std::max(1, viewport()->height() / rowHeight - 1);
    switch (event.key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            return current < 0 ? 0 : std::max(0, current - 1);
        case Qt::Key_Down:
        case Qt::Key_Right:
            return current < 0 ? 0 : std::min(n - 1, current + 1);
        case Qt::Key_PageUp:
            return current < 0 ? 0 : std::max(0, current - page);
        case Qt::Key_PageDown:
            return current < 0 ? 0 : std::min(n - 1, current + page);
        case Qt::Key_Home:
            return 0;
        case Qt::Key_End:
            return n - 1;
        default:
            break;
    }
    if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return kNoRow;
    const QString text = event.text();
    if (text.size() == 1 && text[0].isPrint() && !text[0].isSpace()) return TypeAheadRow(text[0]);
    return kNoRow;
}

void PickList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        if (Activated(currentRow())) {
            event->accept();
            return;
        }
    }
    const int row = RowForKey(*event);
    if (row == kNoRow) {
        event->ignore();  // Tab, Escape, Enter and the like belong to the window
        return;
    }
    event->accept();
    UserPick(row, false);
}

void PickList::focusInEvent(QFocusEvent* event) {
    // Qt makes the first line current on focus without selecting it; keep the line as it was.
    const int before = currentRow();
    QListWidget::focusInEvent(event);
    if (currentRow() != before) MoveTo(before);
}

void PickList::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}

}  // namespace ui
