#include "ui/ModalScript.h"

#include <QApplication>
#include <QPointer>

namespace ui {

namespace {

ModalScript* current = nullptr;

std::string NameOf(const QWidget& window) {
    return window.objectName().toStdString();
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

int ModalScript::Shown() const {
    return shown_;
}

ModalScript* ModalScript::Current() {
    return current;
}

bool ModalScript::Answer(QWidget& window, const Unloader& unload) {
    ++shown_;
    if (entries_.empty()) {
        Fail("ModalScript: unexpected modal window " + NameOf(window) + " (no answer left)");
        unload();
        return false;
    }
    Entry entry = std::move(entries_.front());
    entries_.pop_front();
    if (entry.windowName != window.objectName()) {
        Fail("ModalScript: expected modal window " + entry.windowName.toStdString() + " but " + NameOf(window) +
             " was shown");
        unload();
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
        unload();
    }
    if (previous != nullptr && previous->isVisible()) QApplication::setActiveWindow(previous);
    return true;
}

void ModalScript::Fail(const std::string& why) {
    if (onFailure_) onFailure_(why);
}

}  // namespace ui
