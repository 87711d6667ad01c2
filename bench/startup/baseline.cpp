// The yardstick for the editor's start-up: a plain Qt window of the editor's
// size holding one control of each kind the editor uses, shown the plain way.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Start-up baseline");
    window.setFixedSize(741, 452);  // the editor's client area
    auto* label = new QLabel("Item Name", &window);
    label->setGeometry(232, 87, 109, 25);
    auto* box = new QLineEdit(&window);
    box->setGeometry(352, 84, 125, 32);
    auto* combo = new QComboBox(&window);
    combo->setGeometry(352, 164, 89, 32);
    for (int level = 100; level >= 0; level -= 10) combo->addItem(QString::number(level));
    auto* button = new QPushButton("Save Item", &window);
    button->setGeometry(572, 12, 153, 45);
    auto* list = new QListWidget(&window);
    list->setGeometry(12, 152, 185, 284);
    for (int line = 0; line < 110; ++line) list->addItem(QString::number(line));
    window.show();
    return app.exec();
}
