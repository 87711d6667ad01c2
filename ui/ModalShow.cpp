#include "ui/ModalShow.h"

#include <utility>

#include "ui/ModalScript.h"

namespace ui {

namespace {

UnscriptedModalShow& UnscriptedHook() {
    static UnscriptedModalShow hook;
    return hook;
}

}  // namespace

void SetUnscriptedModalShow(UnscriptedModalShow hook) {
    UnscriptedHook() = std::move(hook);
}

bool ShowScripted(QWidget& window, const std::function<void()>& unload) {
    if (ModalScript* script = ModalScript::Current()) {
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
        script->Answer(window, unload);
        return true;
    }
    if (const UnscriptedModalShow& hook = UnscriptedHook()) hook(window);
    return false;
}

}  // namespace ui
