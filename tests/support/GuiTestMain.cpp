// Runs GUI tests on the offscreen platform: nothing is drawn on a screen and
// no test can wait for a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/ModalShow.h"

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says this for every fixed-size window, raise and grab; it tells nothing.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (defaultHandler != nullptr) defaultHandler(type, context, message);
}

// A modal window shown without a ModalScript would wait for a click no one
// makes: the test program ends at once, naming the window.
void AbortUnscriptedModalShow(QWidget& window) {
    std::fprintf(stderr, "modal window %s shown on the offscreen platform without a ModalScript: aborting\n",
                 window.objectName().toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    defaultHandler = qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    ui::SetUnscriptedModalShow(AbortUnscriptedModalShow);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
