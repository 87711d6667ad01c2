// Text boxes: every key with a character code goes through the key handler,
// and with a handler installed text arrives through it alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

class TextBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<ui::Form>("frmText", 6000, 3000);
        box = new ui::TextBox(form.get(), "txtName", {300, 300, 1875, 480}, ui::FontKind::A);
        other = new ui::TextBox(form.get(), "txtCookTemp", {300, 1000, 1275, 480}, ui::FontKind::A);
        box->onKeyPress = [this](int code) {
            codes.push_back(code);
            return answer < -1 ? code : answer;
        };
        form->ShowModeless();
        QApplication::setActiveWindow(form.get());
        box->setFocus();
    }

    std::unique_ptr<ui::Form> form;
    ui::TextBox* box = nullptr;
    ui::TextBox* other = nullptr;
    std::vector<int> codes;  // what the handler was handed
    int answer = -2;         // what it returns; below -1: the code itself
};

struct KeyCodeCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int code;  // -1: the handler must not run
};

class KeyCodes : public TextBoxTest, public ::testing::WithParamInterface<KeyCodeCase> {};

TEST_P(KeyCodes, ReachTheHandler) {
    const KeyCodeCase& row = GetParam();
    answer = 0;  // drop everything: only the codes matter here
    if (row.key == Qt::Key_A && row.modifiers == Qt::ShiftModifier) {
        QTest::keyClick(box, 'A');  // QTest would send "a" with Key_A and Shift
    } else {
        QTest::keyClick(box, row.key, row.modifiers);
    }
    if (row.code < 0) {
        EXPECT_TRUE(codes.empty());
    } else {
        EXPECT_EQ(codes, std::vector<int>{row.code});
    }
}

INSTANTIATE_TEST_SUITE_P(Table, KeyCodes,
                         ::testing::Values(KeyCodeCase{"Letter", Qt::Key_A, Qt::NoModifier, 'a'},
                                           KeyCodeCase{"CapitalLetter", Qt::Key_A, Qt::ShiftModifier, 'A'},
                                           KeyCodeCase{"Digit", Qt::Key_7, Qt::NoModifier, '7'},
                                           KeyCodeCase{"Space", Qt::Key_Space, Qt::NoModifier, ' '},
                                           KeyCodeCase{"Question", Qt::Key_Question, Qt::ShiftModifier, '?'},
                                           KeyCodeCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, 8},
                                           KeyCodeCase{"Delete", Qt::Key_Delete, Qt::NoModifier, 127},
                                           KeyCodeCase{"Return", Qt::Key_Return, Qt::NoModifier, 13},
                                           KeyCodeCase{"Enter", Qt::Key_Enter, Qt::KeypadModifier, 13},
                                           KeyCodeCase{"CtrlV", Qt::Key_V, Qt::ControlModifier, 22},
                                           KeyCodeCase{"CtrlX", Qt::Key_X, Qt::ControlModifier, 24},
                                           KeyCodeCase{"CtrlZ", Qt::Key_Z, Qt::ControlModifier, 26},
                                           KeyCodeCase{"CtrlA", Qt::Key_A, Qt::ControlModifier, 1},
                                           KeyCodeCase{"Left", Qt::Key_Left, Qt::NoModifier, -1},
                                           KeyCodeCase{"Right", Qt::Key_Right, Qt::NoModifier, -1},
                                           KeyCodeCase{"Home", Qt::Key_Home, Qt::NoModifier, -1},
                                           KeyCodeCase{"End", Qt::Key_End, Qt::NoModifier, -1},
                                           KeyCodeCase{"Shift", Qt::Key_Shift, Qt::NoModifier, -1},
                                           KeyCodeCase{"Tab", Qt::Key_Tab, Qt::NoModifier, -1},
                                           KeyCodeCase{"ShiftInsert", Qt::Key_Insert, Qt::ShiftModifier, -1},
                                           KeyCodeCase{"F1", Qt::Key_F1, Qt::NoModifier, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the handler's result does to "ABCD" with the cursor after "B" (or "BC" selected).
struct ResultCase {
    const char* name;
    bool selectBC;
    int result;
    const char* text;
};

class HandlerResults : public TextBoxTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(HandlerResults, EditAsTheCodeSays) {
    const ResultCase& row = GetParam();
    box->SetText("ABCD");
    box->setCursorPosition(2);
    if (row.selectBC) box->setSelection(1, 2);
    answer = row.result;
    QTest::keyClick(box, Qt::Key_X);
    EXPECT_EQ(box->Text(), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandlerResults,
    ::testing::Values(ResultCase{"Dropped", false, 0, "ABCD"}, ResultCase{"Replaced", false, 'q', "ABqCD"},
                      ResultCase{"Backspace", false, 8, "ACD"}, ResultCase{"Delete", false, 127, "ABD"},
                      ResultCase{"EnterInsertsNothing", false, 13, "ABCD"},
                      ResultCase{"ControlCodeInsertsNothing", false, 22, "ABCD"},
                      ResultCase{"ReplacesSelection", true, 'q', "AqD"},
                      ResultCase{"BackspaceSelection", true, 8, "AD"}, ResultCase{"DeleteSelection", true, 127, "AD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextBoxTest, NavigationKeepsWorkingWithAHandler) {
    box->SetText("ABCD");
    EXPECT_TRUE(codes.empty());  // setting the text raises no key event
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Right);
    QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(box->selectedText(), "B");
    QTest::keyClick(box, Qt::Key_End);
    EXPECT_EQ(box->cursorPosition(), 4);
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(TextBoxTest, ClipboardAndUndoShortcutsOnlyReachTheHandler) {
    QApplication::clipboard()->setText("PASTED");
    box->SetText("ABCD");
    box->selectAll();
    answer = 0;  // the filters drop control codes
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete, Qt::ShiftModifier);  // Delete: reaches the handler as 127, dropped
    EXPECT_EQ(box->Text(), "ABCD");
    EXPECT_EQ(codes, (std::vector<int>{24, 22, 26, 127}));
}

TEST_F(TextBoxTest, NoContextMenuDropOrInputMethodWithAHandler) {
    box->SetText("AB");
    // Should a menu open regardless, close it so the test cannot hang.
    bool menuOpened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuOpened = true;
            popup->close();
        }
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &menu);
    QApplication::processEvents();
    EXPECT_FALSE(menuOpened);

    QMimeData data;
    data.setText("DROPPED");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);

    QInputMethodEvent compose;
    compose.setCommitString("COMMITTED");
    QApplication::sendEvent(box, &compose);
    EXPECT_EQ(box->Text(), "AB");
    EXPECT_FALSE(box->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(TextBoxTest, WithoutAHandlerItIsAPlainLineEdit) {
    other->setFocus();
    QTest::keyClicks(other, "12");
    QApplication::clipboard()->setText("3");
    QTest::keyClick(other, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(other, Qt::Key_Backspace);
    QTest::keyClick(other, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(other->Text(), "123");
}

TEST_F(TextBoxTest, LostFocusFollowsLeavingTheBox) {
    int lost = 0;
    box->onLostFocus = [&] { ++lost; };
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(lost, 1);
    box->setFocus();
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_EQ(lost, 2);
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(TextBoxTest, BackColourAndTheSystemColour) {
    const QColor system = box->BackColor();
    box->SetBackColor(255);
    EXPECT_EQ(box->BackColor(), QColor(255, 0, 0));
    box->SetSystemBackColor();
    EXPECT_EQ(box->BackColor(), system);
}

}  // namespace
