// Program-made changes, option groups, combo boxes, check boxes and buttons on
// real widgets offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <memory>
#include <string>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<ui::Form>("frmControls", 8000, 6000);
        power = new ui::ComboBox(form.get(), "cboPowerLevel", {300, 300, 1335, 480}, ui::FontKind::A);
        fan = new ui::ComboBox(form.get(), "cboFanSpeed", {300, 1000, 1335, 480}, ui::FontKind::A);
        roast = new ui::CheckBox(form.get(), "chkRoastNHold", {300, 1700, 1995, 255}, "Roast && Hold", ui::FontKind::B);
        list = new ui::ListBox(form.get(), "lstItems", {3000, 300, 2775, 2000}, ui::FontKind::C);
        frame = new ui::Frame(form.get(), "frmOvenType", {300, 2400, 2835, 795}, "Oven Type", ui::FontKind::B);
        oven = new ui::OptionGroup("optOvenType", form.get());
        oven->Add(frame, 0, {120, 360, 915, 315}, "Gas", ui::FontKind::A);
        oven->Add(frame, 1, {1260, 360, 1275, 315}, "Electric", ui::FontKind::A);
        buttons = new ui::CommandButtonArray("cmdBut", form.get());
        buttons->Add(form.get(), 0, {3000, 4000, 2295, 675}, "Quit", ui::FontKind::B);
        buttons->Add(form.get(), 1, {5400, 4000, 2295, 675}, "Save Menu to File", ui::FontKind::B);
        for (const char* entry : {"HIGH", "LOW", "OFF"}) fan->AddItem(entry);
        for (int i = 0; i < 5; ++i) list->AddItem(QString::number(i));
        power->onClick = [this] { Record("power", power->ListIndex()); };
        fan->onClick = [this] { Record("fan", fan->ListIndex()); };
        roast->onClick = [this] { Record("roast", roast->Value()); };
        list->onClick = [this] { Record("list", list->ListIndex()); };
        oven->onClick = [this](int index) { Record("oven", index * 10 + oven->Selected()); };
        buttons->onClick = [this](int index) { Record("button", index); };
        form->ShowModeless();
        QApplication::setActiveWindow(form.get());
    }

    void Record(const std::string& what, int value) { events += what + "=" + std::to_string(value) + ";"; }

public:
    std::unique_ptr<ui::Form> form;
    ui::ComboBox* power = nullptr;
    ui::ComboBox* fan = nullptr;
    ui::CheckBox* roast = nullptr;
    ui::ListBox* list = nullptr;
    ui::Frame* frame = nullptr;
    ui::OptionGroup* oven = nullptr;
    ui::CommandButtonArray* buttons = nullptr;
    std::string events;  // what the handlers saw, in order
};

// Each setter runs the handler to its end before it returns (the handler sees
// the new value), and a setter that changes nothing raises nothing.
struct SetterCase {
    const char* name;
    std::function<bool(ControlsTest&)> set;
    bool changes;
    std::string events;
};

class ProgramChanges : public ControlsTest, public ::testing::WithParamInterface<SetterCase> {};

TEST_P(ProgramChanges, RaiseTheClickBeforeReturningOrNothing) {
    const SetterCase& row = GetParam();
    fan->SetListIndex(0);
    list->SetListIndex(1);
    roast->SetValue(1);
    oven->SetValue(0, true);
    events.clear();
    EXPECT_EQ(row.set(*this), row.changes);
    EXPECT_EQ(events, row.events);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramChanges,
    ::testing::Values(
        SetterCase{"ComboIndex", [](ControlsTest& t) { return t.fan->SetListIndex(2); }, true, "fan=2;"},
        SetterCase{"ComboSameIndex", [](ControlsTest& t) { return t.fan->SetListIndex(0); }, false, ""},
        SetterCase{"ComboNone", [](ControlsTest& t) { return t.fan->SetListIndex(-1); }, true, "fan=-1;"},
        SetterCase{"ComboText", [](ControlsTest& t) { return t.fan->SetText("LOW"); }, true, "fan=1;"},
        SetterCase{"ComboSameText", [](ControlsTest& t) { return t.fan->SetText("HIGH"); }, false, ""},
        SetterCase{"ComboTextNoEntry", [](ControlsTest& t) { return t.fan->SetText("low"); }, true, "fan=-1;"},
        SetterCase{"EmptyComboLastEntry", [](ControlsTest& t) { return t.power->SetListIndex(-1); }, false, ""},
        SetterCase{"ListIndex", [](ControlsTest& t) { return t.list->SetListIndex(3); }, true, "list=3;"},
        SetterCase{"ListOutOfRange", [](ControlsTest& t) { return t.list->SetListIndex(99); }, true, "list=-1;"},
        SetterCase{"ComboOutOfRange", [](ControlsTest& t) { return t.fan->SetListIndex(3); }, true, "fan=-1;"},
        SetterCase{"ListSameIndex", [](ControlsTest& t) { return t.list->SetListIndex(1); }, false, ""},
        SetterCase{"CheckClear", [](ControlsTest& t) { return t.roast->SetValue(0); }, true, "roast=0;"},
        SetterCase{"CheckSameValue", [](ControlsTest& t) { return t.roast->SetValue(1); }, false, ""},
        SetterCase{"OptionOther", [](ControlsTest& t) { return t.oven->SetValue(1, true); }, true, "oven=11;"},
        SetterCase{"OptionSame", [](ControlsTest& t) { return t.oven->SetValue(0, true); }, false, ""},
        SetterCase{"OptionClear", [](ControlsTest& t) { return t.oven->SetValue(0, false); }, true, ""},
        SetterCase{"OptionClearCleared", [](ControlsTest& t) { return t.oven->SetValue(1, false); }, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, OptionGroupCanBeLeftWithNoChoice) {
    oven->SetValue(1, true);
    EXPECT_TRUE(oven->SetValue(1, false));
    EXPECT_FALSE(oven->Value(0));
    EXPECT_FALSE(oven->Value(1));
    EXPECT_EQ(oven->Selected(), -1);
    EXPECT_FALSE(oven->Button(1)->isChecked());
}

TEST_F(ControlsTest, OptionButtonsExcludeEachOtherUnderTheMouse) {
    QTest::mouseClick(oven->Button(1), Qt::LeftButton);
    EXPECT_EQ(events, "oven=11;");
    QTest::mouseClick(oven->Button(0), Qt::LeftButton);
    EXPECT_EQ(events, "oven=11;oven=0;");
    EXPECT_FALSE(oven->Value(1));
    QTest::mouseClick(oven->Button(0), Qt::LeftButton);  // the chosen one stays chosen, no event
    EXPECT_EQ(oven->Selected(), 0);
    EXPECT_EQ(events, "oven=11;oven=0;");
    EXPECT_EQ(oven->Button(1)->objectName(), "optOvenType(1)");
}

TEST_F(ControlsTest, CheckBoxClickRaisesClick) {
    QTest::mouseClick(roast, Qt::LeftButton);
    roast->setFocus();
    QTest::keyClick(roast, Qt::Key_Space);
    EXPECT_EQ(events, "roast=1;roast=0;");
}

TEST_F(ControlsTest, ComboShowsNothingWhenFilledClearedOrGivenANonEntry) {
    for (const char* entry : {"100", "90", "0"}) power->AddItem(entry);
    EXPECT_EQ(power->ListIndex(), -1);
    EXPECT_EQ(power->currentText(), "");
    fan->SetText("LOW");
    fan->SetText("MEDIUM");
    EXPECT_EQ(fan->ListIndex(), -1);
    EXPECT_EQ(fan->currentText(), "");
    EXPECT_EQ(events, "fan=1;fan=-1;");
    fan->Clear();  // raises nothing
    for (const char* entry : {"HIGH", "LOW"}) fan->AddItem(entry);
    EXPECT_EQ(fan->Text(), "");
    EXPECT_EQ(events, "fan=1;fan=-1;");
}

struct ComboKeyCase {
    const char* name;
    int start;
    Qt::Key key;
    std::string events;
};

class ComboKeys : public ControlsTest, public ::testing::WithParamInterface<ComboKeyCase> {};

TEST_P(ComboKeys, KeyboardChoiceOnTheFocusedComboRaisesClick) {
    const ComboKeyCase& row = GetParam();
    fan->SetListIndex(row.start);
    events.clear();
    fan->setFocus();
    QTest::keyClick(fan, row.key);
    EXPECT_EQ(events, row.events);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComboKeys,
    ::testing::Values(ComboKeyCase{"Down", 0, Qt::Key_Down, "fan=1;"}, ComboKeyCase{"Up", 2, Qt::Key_Up, "fan=1;"},
                      ComboKeyCase{"End", 0, Qt::Key_End, "fan=2;"}, ComboKeyCase{"Home", 2, Qt::Key_Home, "fan=0;"},
                      ComboKeyCase{"TypeAhead", 0, Qt::Key_O, "fan=2;"}, ComboKeyCase{"UpAtTop", 0, Qt::Key_Up, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, ComboMouseChoiceFromThePopupRaisesClick) {
    fan->SetListIndex(0);
    events.clear();
    fan->showPopup();
    QAbstractItemView* popup = fan->view();
    ASSERT_TRUE(popup->isVisible());
    const QRect line = popup->visualRect(popup->model()->index(2, 0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, line.center());
    EXPECT_EQ(events, "fan=2;");
    EXPECT_EQ(fan->Text(), "OFF");
}

void Wheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

TEST_F(ControlsTest, WheelChangesNothingUnlessTheComboHasTheFocus) {
    fan->SetListIndex(1);
    list->setFocus();
    events.clear();
    Wheel(fan, -120);
    Wheel(fan, 120);
    EXPECT_EQ(fan->ListIndex(), 1);
    EXPECT_FALSE(fan->hasFocus());
    EXPECT_EQ(events, "");
    fan->setFocus();
    Wheel(fan, -120);
    EXPECT_EQ(fan->ListIndex(), 2);
    EXPECT_EQ(events, "fan=2;");
}

TEST_F(ControlsTest, ButtonsAreNeverDefaultEnterPressesNothingSpaceDoes) {
    ui::CommandButton* quit = buttons->Button(0);
    EXPECT_FALSE(quit->autoDefault());
    EXPECT_FALSE(quit->isDefault());
    quit->setFocus();
    QTest::keyClick(quit, Qt::Key_Return);
    QTest::keyClick(quit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(quit, Qt::Key_Escape);
    EXPECT_EQ(events, "");
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(quit, Qt::Key_Space);
    QTest::mouseClick(buttons->Button(1), Qt::LeftButton);
    EXPECT_EQ(events, "button=0;button=1;");
    EXPECT_EQ(buttons->Button(1)->objectName(), "cmdBut(1)");
    EXPECT_EQ(buttons->Button(7), nullptr);
}

}  // namespace
