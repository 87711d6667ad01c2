#include "ui/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QRadioButton>

#include "ui/Geometry.h"

namespace ui {

namespace {

constexpr const char* kAlertProperty = "ovnAlert";

// A radio button whose exclusivity the program keeps: Qt reports such a button
// as a check box, since it reads "radio" off the auto-exclusive flag.
class OptionButtonInterface : public QAccessibleWidget {
public:
    explicit OptionButtonInterface(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && Button()->accessibleName().isEmpty()) return CaptionText(Button()->text());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            if (Button()->isEnabled()) Button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QRadioButton* Button() const { return static_cast<QRadioButton*>(widget()); }
};

// A top-level window: a dialog when it has an owner, an alert when marked so.
class WindowInterface : public QAccessibleWidget {
public:
    explicit WindowInterface(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    QAccessible::Role role() const override {
        if (widget()->property(kAlertProperty).toBool()) return QAccessible::AlertMessage;
        return widget()->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window;
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("ui::OptionButton"))
        return new OptionButtonInterface(static_cast<QRadioButton*>(widget));
    if (className == QLatin1String("ui::Form") && widget->isWindow()) return new WindowInterface(widget);
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void LabelControl(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    // Qt would name a text box by its buddy's raw text (line breaks and all) and a list not at all.
    NameControl(control, label->text().simplified());
}

void LabelChanged(QLabel* label, const QString& oldText) {
    QWidget* control = label->buddy();
    if (control != nullptr && control->accessibleName() == oldText.simplified())
        NameControl(control, label->text().simplified());
}

void NameControl(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    if (qobject_cast<QComboBox*>(control) != nullptr) control->setAccessibleDescription(name);
}

void MarkAsAlert(QWidget* window) {
    window->setProperty(kAlertProperty, true);
}

void AnnounceShown(QWidget* window) {
    if (!QAccessible::isActive()) return;
    const bool alert = window->property(kAlertProperty).toBool();
    QAccessibleEvent start(window, alert ? QAccessible::Alert : QAccessible::DialogStart);
    QAccessible::updateAccessibility(&start);
}

}  // namespace ui
