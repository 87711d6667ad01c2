// ovenmenu: the menu editor. The program runs on the editor window's events
// and ends when that window is closed through "Quit" (or its close box).
// `ovenmenu FILE` reads FILE into the window once it is shown; --help and
// --version answer before any window system is touched.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/ProgramIcon.h"
#include "editor/EditorStartup.h"
#include "ovn/Version.h"

namespace {

constexpr int kExitUsage = 2;

constexpr const char* kUsage = R"(Usage: ovenmenu [--] [FILE]
       ovenmenu --help | --version

Opens the R5800 Menu Editor. With FILE, the window opens first and then reads
that menu file as "Get Menu from File" does once a file has been chosen.

  -h, --help     print this help and exit
      --version  print the version and exit
  --             end of the options (for a FILE that starts with a dash)

Keys in the editor window:
  Ctrl+P                 print the menu card (the menu as it stands in memory)
  Ctrl+Z                 undo the last menu change (unsaved edits of the item
                         on screen are undone first)
  Ctrl+Shift+Z, Ctrl+Y   redo it (here too, unsaved edits are undone first)
)";

// What the command line asks for: a file to read (maybe none), or an exit
// status when the program ends at once (help, version, usage error).
struct CommandLine {
    std::string file;
    std::optional<int> exitStatus;
};

int UsageError(const std::string& message) {
    std::cerr << "ovenmenu: " << message << "\nTry 'ovenmenu --help'.\n";
    return kExitUsage;
}

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    bool optionsEnded = false;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::cout << kUsage;
            line.exitStatus = 0;
            return line;
        } else if (!optionsEnded && arg == "--version") {
            std::cout << "ovenmenu " << ovn::kVersion << "\n";
            line.exitStatus = 0;
            return line;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            line.exitStatus = UsageError("unknown option '" + std::string(arg) + "'");
            return line;
        } else if (haveFile) {
            line.exitStatus = UsageError("one FILE at a time");
            return line;
        } else if (arg.empty()) {
            line.exitStatus = UsageError("the FILE name is empty");
            return line;
        } else {
            line.file = arg;
            haveFile = true;
        }
    }
    return line;
}

// Giving the window manager the icon decodes every size of it, a few
// milliseconds under X: it waits until the first window has drawn itself.
class IconAfterFirstFrame final : public QObject {
public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] { QApplication::setWindowIcon(ProgramIcon()); });
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const CommandLine line = ParseCommandLine(argc, argv);
    if (line.exitStatus) return *line.exitStatus;

    // Qt sees no arguments: a menu file named like one of its options stays a menu file.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QGuiApplication::setDesktopFileName(OVENMENU_DESKTOP_ID);
    IconAfterFirstFrame iconAfterFirstFrame;
    app.installEventFilter(&iconAfterFirstFrame);
    std::unique_ptr<editor::frmOpening> window;
    if (!editor::RunEditorStartup(window)) {
        // The failure has been shown; without a window there is nothing to run.
        if (!window || !window->isVisible()) return 1;
    }
    window->onClosed = [] { QApplication::quit(); };
    // Queued, so that the window is on screen before a notice or an ERROR box opens over it.
    if (!line.file.empty())
        QTimer::singleShot(0, window.get(), [&window, &line] { editor::OpenMenuFileArgument(*window, line.file); });
    return app.exec();
}
