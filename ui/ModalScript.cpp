#include "ui/ModalScript.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>
#include <cstdlib>

#include "ui/Form.h"
#include "ui/Geometry.h"

namespace ui {

namespace {

ModalScript* current = nullptr;

std::string NameOf(const QWidget& window) {
    return window.objectName().toStdString();
}

// Closes a modal window that the script could not answer, so that nothing waits for a person.
void ForceUnload(QWidget& window) {
    if (auto* form = qobject_cast<Form*>(&window)) {
        form->Unload();
    } else if (auto* dialog = qobject_cast<QDialog*>(&window)) {
        dialog->done(0);
    } else {
        window.hide();
    }
}

}  // namespace

ModalScript::ModalScript(Failure onFailure) : onFailure_(std::move(onFailure)), previous_(current) {
    current = this;
}

ModalScript::~ModalScript() {
    if (!entries_.empty()) {
        std::string names;
        for (const Entry& entry : entries_) names.append(" ").append(entry.windowName.toStdString());
        Fail("ModalScript: " + std::to_string(entries_.size()) + " expected window(s) never shown:" + names);
    }
    current = previous_;
}

ModalScript& ModalScript::Expect(const QString& windowName, Action action) {
    entries_.push_back(Entry{windowName, std::move(action)});
    return *this;
}

int ModalScript::Remaining() const {
    return static_cast<int>(entries_.size());
}

int ModalScript::Shown() const {
    return shown_;
}

ModalScript* ModalScript::Current() {
    return current;
}

bool ModalScript::Answer(QWidget& window) {
    ++shown_;
    if (entries_.empty()) {
        Fail("ModalScript: unexpected modal window " + NameOf(window) + " (no answer left)");
        ForceUnload(window);
        return false;
    }
    Entry entry = std::move(entries_.front());
    entries_.pop_front();
    if (entry.windowName != window.objectName()) {
        Fail("ModalScript: expected modal window " + entry.windowName.toStdString() + " but " + NameOf(window) +
             " was shown");
        ForceUnload(window);
        return false;
    }
    // Give the window the activation and focus a person would see before answering,
    // and hand them back afterwards as the desktop does when a modal window closes.
    const QPointer<QWidget> previous = QApplication::activeWindow();
    const QPointer<QWidget> alive(&window);  // the answer may delete the window
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    entry.action(window);
    if (alive != nullptr && window.isVisible()) {
        Fail("ModalScript: the answer left modal window " + NameOf(window) + " open");
        ForceUnload(window);
    }
    if (previous != nullptr && previous->isVisible()) QApplication::setActiveWindow(previous);
    return true;
}

void ModalScript::Fail(const std::string& why) {
    if (onFailure_) onFailure_(why);
}

bool ShowScriptedOrAbort(QWidget& window) {
    if (ModalScript* script = ModalScript::Current()) {
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
        script->Answer(window);
        return true;
    }
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::fprintf(stderr, "modal window %s shown on the offscreen platform without a ModalScript: aborting\n",
                     window.objectName().toLocal8Bit().constData());
        std::fflush(stderr);
        std::abort();
    }
    return false;
}

void ShowErrorBox(QWidget* owner, const QString& text) {
    // Lines of this system's messages are joined by "\r\n"; the box shows them as lines.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("ERROR"), lines, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.setTextFormat(Qt::PlainText);
    if (ShowScriptedOrAbort(box)) return;
    box.exec();
}

}  // namespace ui
