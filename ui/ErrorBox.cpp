#include "ui/ErrorBox.h"

#include <QMessageBox>

#include "ui/ModalShow.h"

namespace ui {

void ShowErrorBox(QWidget* owner, const QString& text) {
    // Lines of this system's messages are joined by "\r\n"; the box shows them as lines.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("ERROR"), lines, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.setTextFormat(Qt::PlainText);
    if (ShowScripted(box, [&box] { box.done(0); })) return;
    box.exec();
}

}  // namespace ui
