#include "ui/ModalShow.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/ModalScript.h"

namespace ui {

bool ShowScriptedOrAbort(QWidget& window, const std::function<void()>& unload) {
    if (ModalScript* script = ModalScript::Current()) {
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
        script->Answer(window, unload);
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

}  // namespace ui
