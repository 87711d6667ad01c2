// The item list: every change of the current line raises onClick, and the
// highlight, the selection and the current line never disagree.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>

#include "ui/Controls.h"
#include "ui/FileLists.h"
#include "ui/Form.h"

namespace {

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<ui::Form>("frmList", 4000, 5000);
        list = new ui::ListBox(form.get(), "lstItems", {180, 180, 2775, 4260}, ui::FontKind::C);
        for (int page = 0; page < 10; ++page) {
            list->AddItem(QString("> Page %1").arg(page + 1));
            for (int k = 0; k < 10; ++k) list->AddItem(QString::number(k));
        }
        list->onClick = [this] {
            ++clicks;
            clickedAt = list->ListIndex();
        };
        form->ShowModeless();
        list->setFocus();
        QApplication::setActiveWindow(form.get());
    }

    // Highlighted line == selected line == current line.
    void ExpectAgreement(int row) {
        EXPECT_EQ(list->ListIndex(), row);
        EXPECT_EQ(list->currentRow(), row);
        const auto selected = list->selectedItems();
        if (row < 0) {
            EXPECT_TRUE(selected.isEmpty());
        } else {
            ASSERT_EQ(selected.size(), 1);
            EXPECT_EQ(list->row(selected.front()), row);
        }
    }

    QPoint LineCentre(int row) { return list->visualItemRect(list->item(row)).center(); }

    std::unique_ptr<ui::Form> form;
    ui::ListBox* list = nullptr;
    int clicks = 0;
    int clickedAt = -100;
};

TEST_F(ListBoxTest, FillingAndFocusSelectNothing) {
    ExpectAgreement(-1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListBoxTest, ProgramChangeRaisesClickBeforeReturning) {
    EXPECT_TRUE(list->SetListIndex(5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clickedAt, 5);  // the handler already saw the new line
    EXPECT_FALSE(list->SetListIndex(5));
    EXPECT_EQ(clicks, 1);
    ExpectAgreement(5);
}

TEST_F(ListBoxTest, ClearRaisesNothing) {
    list->SetListIndex(3);
    clicks = 0;
    list->Clear();
    EXPECT_EQ(clicks, 0);
    ExpectAgreement(-1);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(clicks, 0);  // no line, no event
}

struct KeyCase {
    const char* name;
    int start;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expected;  // -2: the key changes nothing
};

class ListBoxKeys : public ListBoxTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ListBoxKeys, RaiseClickOnEveryChangeOnly) {
    const KeyCase& row = GetParam();
    list->SetListIndex(row.start);
    clicks = 0;
    QTest::keyClick(list, row.key, row.modifiers);
    if (row.expected == -2) {
        EXPECT_EQ(clicks, 0);
        ExpectAgreement(row.start);
    } else {
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(clickedAt, row.expected);
        ExpectAgreement(row.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ListBoxKeys,
                         ::testing::Values(KeyCase{"Down", 3, Qt::Key_Down, Qt::NoModifier, 4},
                                           KeyCase{"Up", 3, Qt::Key_Up, Qt::NoModifier, 2},
                                           KeyCase{"UpAtTop", 0, Qt::Key_Up, Qt::NoModifier, -2},
                                           KeyCase{"DownAtBottom", 109, Qt::Key_Down, Qt::NoModifier, -2},
                                           KeyCase{"CtrlDown", 3, Qt::Key_Down, Qt::ControlModifier, 4},
                                           KeyCase{"Home", 50, Qt::Key_Home, Qt::NoModifier, 0},
                                           KeyCase{"End", 50, Qt::Key_End, Qt::NoModifier, 109},
                                           KeyCase{"HomeAtTop", 0, Qt::Key_Home, Qt::NoModifier, -2},
                                           KeyCase{"TypeAheadPage", 3, Qt::Key_Greater, Qt::ShiftModifier, 11},
                                           KeyCase{"TypeAheadDigit", 3, Qt::Key_7, Qt::NoModifier, 8},
                                           KeyCase{"TypeAheadWraps", 108, Qt::Key_1, Qt::NoModifier, 2},
                                           KeyCase{"SpaceNothing", 3, Qt::Key_Space, Qt::NoModifier, -2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListBoxTest, PageKeysMoveByAVisiblePage) {
    list->SetListIndex(0);
    clicks = 0;
    QTest::keyClick(list, Qt::Key_PageDown);
    const int down = list->ListIndex();
    EXPECT_GT(down, 1);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(list, Qt::Key_PageUp);
    EXPECT_EQ(list->ListIndex(), 0);
    EXPECT_EQ(clicks, 2);
    ExpectAgreement(0);
}

TEST_F(ListBoxTest, MouseClickRaisesClickOnAnyLineTheCurrentOneIncluded) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LineCentre(2));
    EXPECT_EQ(clicks, 1);
    ExpectAgreement(2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LineCentre(2));
    EXPECT_EQ(clicks, 2);
    ExpectAgreement(2);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, LineCentre(4));  // one click for a double click
    EXPECT_EQ(clicks, 3);
    ExpectAgreement(4);
}

TEST_F(ListBoxTest, CtrlClickAndEmptySpaceNeverLeaveItWithoutSelection) {
    list->SetListIndex(2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, LineCentre(2));
    ExpectAgreement(2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, LineCentre(4));
    ExpectAgreement(4);
    // A short list leaves empty space below its lines.
    while (list->ListCount() > 3) delete list->takeItem(list->ListCount() - 1);
    list->SetListIndex(1);
    clicks = 0;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 3));
    EXPECT_EQ(clicks, 0);
    ExpectAgreement(1);
}

// The handler refuses the new line and puts the old one back, as the editor does on "Cancel".
TEST_F(ListBoxTest, HandlerPuttingTheSelectionBackLeavesEverythingInAgreement) {
    list->SetListIndex(2);
    bool ignoreNext = false;
    int handled = 0;
    list->onClick = [&] {
        ++handled;
        if (ignoreNext) {
            ignoreNext = false;
            return;
        }
        ignoreNext = true;
        list->SetListIndex(2);
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LineCentre(5));
    EXPECT_EQ(handled, 2);
    EXPECT_FALSE(ignoreNext);
    ExpectAgreement(2);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(handled, 4);
    ExpectAgreement(2);
    // A drag over other lines after the press changes nothing either.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, LineCentre(6));
    QTest::mouseMove(list->viewport(), LineCentre(8));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, LineCentre(8));
    ExpectAgreement(2);
}

TEST_F(ListBoxTest, DisabledListTakesNoInput) {
    list->SetListIndex(2);
    clicks = 0;
    list->setEnabled(false);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LineCentre(4));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(clicks, 0);
    ExpectAgreement(2);
}

}  // namespace
