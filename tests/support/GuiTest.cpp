#include "GuiTest.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QMetaEnum>
#include <QTest>

#include "dialogs/DialogValues.h"

namespace testsupport {

std::unique_ptr<ui::ModalScript> MakeScript() {
    return std::make_unique<ui::ModalScript>([](const std::string& why) { ADD_FAILURE() << why; });
}

std::string Spoken(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (iface == nullptr) return "none";
    QStringList labels;
    for (const auto& [label, relation] : iface->relations(QAccessible::Label)) labels << label->text(QAccessible::Name);
    const char* role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(iface->role());
    return QStringList{role, iface->text(QAccessible::Name), iface->text(QAccessible::Description), labels.join('+')}
        .join('|')
        .toStdString();
}

void ClickButton(QWidget& window, const QString& name) {
    auto* button = window.findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr) << "no button named " << name.toStdString();
    ASSERT_TRUE(button->isVisible()) << name.toStdString() << " is hidden";
    ASSERT_TRUE(button->isEnabled()) << name.toStdString() << " is disabled";
    QTest::mouseClick(button, Qt::LeftButton);
}

void ExpectMessage(ui::ModalScript& script, int answer, Message* seen) {
    script.Expect("frmMEMessage100", [answer, seen](QWidget& window) {
        const auto& state = dialogs::Values();
        if (seen != nullptr) *seen = {state.MessageType, state.MessageColor, state.MessageText};
        ClickButton(window, QString("cmdBut(%1)").arg(answer));
    });
}

void ExpectErrorBox(ui::ModalScript& script, std::string* text) {
    script.Expect("ErrorBox", [text](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->windowTitle() == "ERROR" && box->icon() == QMessageBox::Critical);
        if (text != nullptr) *text = box->text().toStdString();
        ASSERT_EQ(box->buttons(), QList<QAbstractButton*>{box->button(QMessageBox::Ok)});
        QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
}

}  // namespace testsupport
