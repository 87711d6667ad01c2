// Combo boxes, check boxes, option groups, buttons, the item list and text boxes, driven offscreen.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QWheelEvent>
#include <functional>

#include "UiTest.h"

namespace {

using ui::FontKind;

class Controls : public uitest::Window {
public:
    ui::ComboBox* fan = new ui::ComboBox(form.get(), "cboFanSpeed", {300, 1000, 1335, 480}, FontKind::A);
    ui::CheckBox* roast = new ui::CheckBox(form.get(), "chkRoastNHold", {300, 1700, 1995, 255}, "Roast", FontKind::B);
    ui::ListBox* list = new ui::ListBox(form.get(), "lstItems", {3000, 180, 2775, 4260}, FontKind::C);
    ui::OptionGroup* oven = new ui::OptionGroup("optOvenType", form.get());
    ui::CommandButtonArray* buttons = new ui::CommandButtonArray("cmdBut", form.get());
    ui::TextBox* box = new ui::TextBox(form.get(), "txtName", {6000, 300, 1875, 480}, FontKind::A);
    ui::TextBox* other = new ui::TextBox(form.get(), "txtCookTemp", {6000, 1000, 1275, 480}, FontKind::A);
    int answer = -2;  // what the key handler returns; -2: the code it was handed

    void SetUp() override {
        oven->Add(form.get(), 0, {300, 2400, 915, 315}, "Gas", FontKind::A);
        oven->Add(form.get(), 1, {1300, 2400, 1275, 315}, "Electric", FontKind::A);
        buttons->Add(form.get(), 0, {300, 5000, 2295, 675}, "Quit", FontKind::B);
        buttons->Add(form.get(), 1, {3000, 5000, 2295, 675}, "Save", FontKind::B);
        for (const char* entry : {"HIGH", "LOW", "OFF"}) fan->AddItem(entry);
        for (int page = 1; page <= 10; ++page) {
            list->AddItem(QString("> Page %1").arg(page));
            for (int k = 0; k < 10; ++k) list->AddItem(QString::number(k));
        }
        fan->onClick = [this] { Record("fan", fan->ListIndex()); };
        roast->onClick = [this] { Record("roast", roast->Value()); };
        list->onClick = [this] { Record("list", list->ListIndex()); };
        oven->onClick = [this](int index) { Record("oven", index * 10 + oven->Selected()); };
        buttons->onClick = [this](int index) { Record("button", index); };
        box->onKeyPress = [this](int code) { return Record("key", code), answer == -2 ? code : answer; };
        box->onLostFocus = [this] { Record("lost", 0); };
        Show();
    }
    std::string Shown() const { return std::to_string(fan->ListIndex()) + ":" + fan->currentText().toStdString(); }
    // The list's line that is highlighted, selected and current at once; -9 when they disagree.
    int Line() const {
        const auto selected = list->selectedItems();
        const int row = selected.isEmpty() ? -1 : selected.size() == 1 ? list->row(selected.front()) : -9;
        return list->ListIndex() == row && list->currentRow() == row ? row : -9;
    }
};

TEST_F(Controls, ProgramChangesRaiseTheClickBeforeReturningOrNothing) {
    const std::tuple<const char*, std::function<bool()>, bool, const char*> rows[] = {
        {"ComboIndex", [&] { return fan->SetListIndex(2); }, true, "fan=2;"},
        {"ComboSameIndex", [&] { return fan->SetListIndex(0); }, false, ""},
        {"ComboNone", [&] { return fan->SetListIndex(-1); }, true, "fan=-1;"},
        {"ComboOutOfRange", [&] { return fan->SetListIndex(3); }, true, "fan=-1;"},
        {"ComboText", [&] { return fan->SetText("LOW"); }, true, "fan=1;"},
        {"ComboSameText", [&] { return fan->SetText("HIGH"); }, false, ""},
        {"ComboNoEntry", [&] { return fan->SetText("low"); }, true, "fan=-1;"},
        {"ListIndex", [&] { return list->SetListIndex(3); }, true, "list=3;"},
        {"ListSameIndex", [&] { return list->SetListIndex(1); }, false, ""},
        {"ListOutOfRange", [&] { return list->SetListIndex(999); }, true, "list=-1;"},
        {"CheckClear", [&] { return roast->SetValue(0); }, true, "roast=0;"},
        {"CheckSame", [&] { return roast->SetValue(1); }, false, ""},
        {"OptionOther", [&] { return oven->SetValue(1, true); }, true, "oven=11;"},
        {"OptionSame", [&] { return oven->SetValue(0, true); }, false, ""},
        {"OptionClear", [&] { return oven->SetValue(0, false); }, true, ""},
        {"OptionClearCleared", [&] { return oven->SetValue(1, false); }, false, ""},
    };
    for (const auto& [name, set, changed, expected] : rows) {
        SCOPED_TRACE(name);
        fan->SetListIndex(0), list->SetListIndex(1), roast->SetValue(1), oven->SetValue(0, true);
        events.clear();
        EXPECT_EQ(set(), changed);
        EXPECT_EQ(events, expected);  // the handlers record the new value
    }
}

TEST_F(Controls, OptionGroupCanHaveNoChoiceButtonsAreNeverDefaultEnterAndEscapePressNothingSpaceDoes) {
    QTest::mouseClick(oven->Button(1), Qt::LeftButton);
    QTest::mouseClick(oven->Button(0), Qt::LeftButton);
    QTest::mouseClick(oven->Button(0), Qt::LeftButton);  // the chosen one stays chosen, no event
    EXPECT_EQ(events, "oven=11;oven=0;");
    EXPECT_TRUE(oven->Value(0) && !oven->Value(1));
    EXPECT_TRUE(oven->SetValue(0, false));
    EXPECT_EQ(oven->Selected(), -1);
    EXPECT_FALSE(oven->Value(0) || oven->Button(0)->isChecked() || oven->Button(1)->isChecked());
    events.clear();
    ui::CommandButton* quit = buttons->Button(0);
    EXPECT_FALSE(quit->autoDefault() || quit->isDefault());
    quit->setFocus();
    QTest::keyClick(quit, Qt::Key_Return);
    QTest::keyClick(quit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(quit, Qt::Key_Escape);
    EXPECT_TRUE(events.empty() && form->isVisible());
    QTest::keyClick(quit, Qt::Key_Space);
    QTest::mouseClick(buttons->Button(1), Qt::LeftButton);
    QTest::mouseClick(roast, Qt::LeftButton, {}, {5, 5});
    roast->setFocus();
    QTest::keyClick(roast, Qt::Key_Space);
    EXPECT_EQ(events, "button=0;button=1;roast=1;roast=0;");
}

TEST_F(Controls, ComboShowsNoChoiceForANonEntryOrWhenFilledTakesTheMouseAndTheWheelOnlyWithFocus) {
    for (const char* text : {"LOW", "MEDIUM"}) fan->SetText(text);
    EXPECT_EQ(Shown(), "-1:");
    fan->showPopup();
    QAbstractItemView* popup = fan->view();
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(popup->model()->index(2, 0)).center());
    EXPECT_EQ(Shown(), "2:OFF");
    auto wheel = [this](int delta) {
        const QPointF at(fan->width() / 2.0, fan->height() / 2.0);
        QWheelEvent event(at, fan->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(fan, &event);
    };
    list->setFocus();
    wheel(120);
    fan->setFocus();
    wheel(120);
    fan->Clear();
    EXPECT_FALSE(fan->SetListIndex(-1));  // empty: nothing to change
    fan->AddItem("HIGH");
    EXPECT_EQ(Shown(), "-1:");
    EXPECT_EQ(events, "fan=1;fan=-1;fan=2;fan=1;");
}

// Combo and list: a click on every change of the line only. Text box: the key handler for every key
// carrying a character code (the row's code), none for navigation and modifier keys (-1).
TEST_F(Controls, KeysOnTheFocusedControlRaiseTheirEvents) {
    const uitest::KeyRow rows[] = {
        {"ComboDown", fan, 0, Qt::Key_Down, {}, 1},
        {"ComboEnd", fan, 0, Qt::Key_End, {}, 2},
        {"ComboHome", fan, 2, Qt::Key_Home, {}, 0},
        {"ComboTypeAhead", fan, 0, Qt::Key_O, {}, 2},
        {"ComboUpAtTop", fan, 0, Qt::Key_Up, {}, 0},
        {"ListDown", list, 3, Qt::Key_Down, {}, 4},
        {"ListUp", list, 3, Qt::Key_Up, {}, 2},
        {"ListDownAtBottom", list, 109, Qt::Key_Down, {}, 109},
        {"ListCtrlDown", list, 3, Qt::Key_Down, Qt::ControlModifier, 4},
        {"ListHome", list, 50, Qt::Key_Home, {}, 0},
        {"ListEnd", list, 50, Qt::Key_End, {}, 109},
        {"ListTypeAheadPage", list, 3, Qt::Key_Greater, Qt::ShiftModifier, 11},
        {"ListTypeAheadWraps", list, 108, Qt::Key_1, {}, 2},
        {"ListSpace", list, 3, Qt::Key_Space, {}, 3},
        {"TextLetter", box, -1, Qt::Key_A, {}, 'a'},
        {"TextQuestion", box, -1, Qt::Key_Question, Qt::ShiftModifier, '?'},
        {"TextBackspace", box, -1, Qt::Key_Backspace, {}, 8},
        {"TextDelete", box, -1, Qt::Key_Delete, {}, 127},
        {"TextReturn", box, -1, Qt::Key_Return, {}, 13},
        {"TextEnter", box, -1, Qt::Key_Enter, Qt::KeypadModifier, 13},
        {"TextCtrlV", box, -1, Qt::Key_V, Qt::ControlModifier, 22},
        {"TextCtrlA", box, -1, Qt::Key_A, Qt::ControlModifier, 1},
        {"TextShift", box, -1, Qt::Key_Shift, {}, -1},
    };
    answer = 0;  // the text box drops every key: only the codes matter here
    for (const auto& [name, control, start, key, modifiers, to] : rows) {
        SCOPED_TRACE(name);
        fan->SetListIndex(start), list->SetListIndex(start);
        control->setFocus();
        events.clear();
        QTest::keyClick(control, key, modifiers);
        const char* what = control == fan ? "fan=" : control == list ? "list=" : "key=";
        EXPECT_EQ(events, to == start ? "" : what + std::to_string(to) + ";");
        EXPECT_EQ(control == fan ? fan->ListIndex() : control == list ? Line() : to, to);
    }
}

TEST_F(Controls, ListClicksOnAnyLineAndPageKeysRaiseClickNothingLeavesItWithoutSelectionClearRaisesNothing) {
    EXPECT_EQ(Line(), -1);  // filling selects nothing
    uitest::Click(list, 1);
    uitest::Click(list, 1);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, uitest::Centre(list, 0));  // one event
    QTest::keyClick(list, Qt::Key_PageDown);
    const int down = list->ListIndex();
    QTest::keyClick(list, Qt::Key_PageUp);
    EXPECT_GT(down, 1);
    EXPECT_EQ(events, "list=1;list=1;list=0;list=" + std::to_string(down) + ";list=0;");
    uitest::Click(list, 0, Qt::ControlModifier);
    EXPECT_EQ(Line(), 0);
    uitest::Click(list, 2, Qt::ControlModifier);
    EXPECT_EQ(Line(), 2);
    while (list->ListCount() > 3) delete list->takeItem(3);  // a short list leaves empty space below
    events.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 3));
    EXPECT_EQ(Line(), 2);
    list->Clear();
    QTest::keyClick(list, Qt::Key_Down);  // no line, no event
    EXPECT_EQ(Line(), -1);
    EXPECT_EQ(events, "");
}

TEST_F(Controls, ListHandlerPuttingTheSelectionBackAsOnCancelLeavesEverythingInAgreement) {
    list->SetListIndex(2);
    list->onClick = [this] {
        Record("list", list->ListIndex());
        if (list->ListIndex() != 2) list->SetListIndex(2);
    };
    uitest::Click(list, 5);
    EXPECT_EQ(Line(), 2);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(Line(), 2);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, uitest::Centre(list, 6));
    QTest::mouseMove(list->viewport(), uitest::Centre(list, 8));  // dragging over other lines changes nothing
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, uitest::Centre(list, 8));
    EXPECT_EQ(Line(), 2);
    EXPECT_EQ(events, "list=2;list=5;list=2;list=3;list=2;list=6;list=2;");
}

// What the handler's answer to "X" does to "ABCD", the cursor after "B" or "BC" selected.
TEST_F(Controls, TextBoxHandlersAnswerEditsAsTheCodeSays) {
    const std::tuple<const char*, bool, int, const char*> rows[] = {
        {"Dropped", false, 0, "ABCD"},
        {"Replaced", false, 'q', "ABqCD"},
        {"Backspace", false, 8, "ACD"},
        {"Delete", false, 127, "ABD"},
        {"EnterInsertsNothing", false, 13, "ABCD"},
        {"ControlCodeInsertsNothing", false, 22, "ABCD"},
        {"ReplacesSelection", true, 'q', "AqD"},
        {"BackspaceSelection", true, 8, "AD"},
        {"DeleteSelection", true, 127, "AD"},
    };
    for (const auto& [name, selectBC, result, text] : rows) {
        box->SetText("ABCD");
        selectBC ? box->setSelection(1, 2) : box->setCursorPosition(2);
        answer = result;
        QTest::keyClick(box, Qt::Key_X);
        EXPECT_EQ(box->Text(), text) << name;
    }
}

TEST_F(Controls, TextBoxTakesTextOnlyThroughTheHandlerAndRaisesLostFocusOnLeaving) {
    QApplication::clipboard()->setText("PASTED");
    box->setFocus();
    box->SetText("AB");  // raises no key event
    box->selectAll();
    answer = 0;                 // the filters drop control codes
    QTest::keyClick(box, 'A');  // a capital (QTest would send "a" for Key_A with Shift)
    for (Qt::Key key : {Qt::Key_X, Qt::Key_V, Qt::Key_Z}) QTest::keyClick(box, key, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Delete, Qt::ShiftModifier);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &menu);  // Qt would pop its menu up without waiting
    QMimeData data;
    data.setText("DROPPED");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    QInputMethodEvent compose;
    compose.setCommitString("COMMITTED");
    QApplication::sendEvent(box, &compose);
    EXPECT_EQ(box->Text(), "AB");
    EXPECT_FALSE(QApplication::activePopupWidget() || enter.isAccepted() ||
                 box->testAttribute(Qt::WA_InputMethodEnabled));
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(box->selectedText(), "A");  // navigation still works
    QTest::keyClick(box, Qt::Key_Tab);
    box->setFocus();
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(events, "key=65;key=24;key=22;key=26;key=127;lost=0;lost=0;");
}

}  // namespace
