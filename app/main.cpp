// ovenmenu: the menu editor. The program runs on the editor window's events
// and ends when that window is closed through "Quit" (or its close box).
#include <QApplication>
#include <memory>

#include "editor/EditorStartup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::unique_ptr<editor::frmOpening> window;
    if (!editor::RunEditorStartup(window)) {
        // The failure has been shown; without a window there is nothing to run.
        if (!window || !window->isVisible()) return 1;
    }
    window->onClosed = [] { QApplication::quit(); };
    return app.exec();
}
