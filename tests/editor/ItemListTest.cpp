// The item list: its lines, selecting by mouse and by keyboard, and leaving a
// changed item with each answer.
#include "EditorFixture.h"

namespace editortest {
namespace {

TEST_F(EditorTest, ListLinesAndSelectionByMouseAndKeyboard) {
    for (int line = 0; line < 110; ++line) {
        const bool page = line % 11 == 0;
        EXPECT_EQ(W().lstItems->List(line),
                  page ? QString("> Page %1").arg(line / 11 + 1) : QString::number(line % 11 - 1));
        EXPECT_EQ(editor::frmOpening::IsPageEntry(W().lstItems->List(line)), page) << line;
    }
    EXPECT_EQ(W().lstItems->ListCount(), 110);
    EXPECT_FALSE(editor::frmOpening::IsPageEntry("> Page"));
    EXPECT_EQ(W().GetIndex(0, 110), -1);
    ovn::Shared().MenuItems[1] = {"", "", "", "0010", "", "55", 0};  // as read from a damaged file
    ovn::Shared().MenuItems[10].Name = "BREAD";
    ChooseOven(0);
    QTest::keyClick(W().lstItems, Qt::Key_Down);
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, 1);
    EXPECT_EQ(W().cboFanSpeed->ListIndex(), -1);
    EXPECT_EQ(W().cboPowerLevel->ListIndex(), -1);
    ClickLine(12);
    EXPECT_EQ(W().lblMenuItem->Caption(), "Page 2\r\nItem 0");
    EXPECT_EQ(W().txtName->Text(), "BREAD");
    EXPECT_EQ(W().GetIndex(1, 0), 10);
    QTest::keyClick(W().lstItems, Qt::Key_Up);  // the page line of page 2
    EXPECT_EQ(W().lblMenuItem->Caption(), "Page 2");
    EXPECT_FALSE(W().txtName->isEnabled());
    EXPECT_EQ(ovn::Shared().CurrentListIndex, 11);
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, -1);
    QTest::keyClick(W().lstItems, Qt::Key_End);
    EXPECT_EQ(W().lblMenuItem->Caption(), "Page 10\r\nItem 9");
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, 99);
    EXPECT_FALSE(ovn::Shared().ItemChanged);
}

struct LeaveRow {
    const char* label;
    int answer;
    const char* cookTemp;  // typed into slot 0 before leaving it
    bool byKeyboard;
    bool moves;   // the new line is loaded
    bool stored;  // slot 0 holds the edits
};
void PrintTo(const LeaveRow& row, std::ostream* out) {
    *out << row.label;
}

class LeaveChangedItemTest : public EditorTest, public ::testing::WithParamInterface<LeaveRow> {};

TEST_P(LeaveChangedItemTest, AsksAndFollowsTheAnswer) {
    const LeaveRow& row = GetParam();
    ChooseOven(0);
    SetBox(W().txtName, "PIE");
    SetBox(W().txtCookTemp, row.cookTemp);

    SeenMessage question, invalid;
    ExpectMessage(row.answer, &question);
    const bool rejected = row.answer == dialogs::kAnswerYes && !row.stored;
    if (rejected) ExpectMessage(dialogs::kAnswerOk, &invalid);
    if (row.byKeyboard) {
        QTest::keyClick(W().lstItems, Qt::Key_Down);
    } else {
        ClickLine(3);
    }
    const int newLine = row.byKeyboard ? 2 : 3;

    EXPECT_EQ(question.type, 18);
    EXPECT_EQ(question.color, dialogs::kYellow);
    EXPECT_EQ(question.text, "\r\nYou are changing Menu Items.\r\nDo you want to save Item 1 information?");
    if (rejected) {
        EXPECT_EQ(invalid.color, dialogs::kRed);
        EXPECT_EQ(invalid.text, kInvalidEntries);
        EXPECT_TRUE(IsRed(W().txtCookTemp));
    }
    const int current = row.moves ? newLine : 1;
    EXPECT_EQ(ovn::Shared().CurrentListIndex, current);
    EXPECT_EQ(W().lstItems->ListIndex(), current) << "highlight on the line being edited";
    EXPECT_TRUE(W().lstItems->item(current)->isSelected());
    EXPECT_FALSE(ovn::Shared().IgnoreListClick);
    EXPECT_EQ(ovn::Shared().ItemChanged, !row.moves);
    EXPECT_EQ(W().txtName->Text(), row.moves ? "" : "PIE");
    EXPECT_EQ(ovn::Shared().MenuItems[0].Name, row.stored ? "PIE" : "");
    EXPECT_EQ(W().lstItems->List(1), row.stored ? "0   PIE" : "0");
}

INSTANTIATE_TEST_SUITE_P(Answers, LeaveChangedItemTest,
                         ::testing::Values(LeaveRow{"yesValid", dialogs::kAnswerYes, "300", false, true, true},
                                           LeaveRow{"yesValidByKey", dialogs::kAnswerYes, "300", true, true, true},
                                           LeaveRow{"yesInvalid", dialogs::kAnswerYes, "100", false, false, false},
                                           LeaveRow{"yesInvalidByKey", dialogs::kAnswerYes, "100", true, false, false},
                                           LeaveRow{"no", dialogs::kAnswerNo, "300", false, true, false},
                                           LeaveRow{"noByKey", dialogs::kAnswerNo, "300", true, true, false},
                                           LeaveRow{"cancel", dialogs::kAnswerCancel, "300", false, false, false},
                                           LeaveRow{"cancelByKey", dialogs::kAnswerCancel, "300", true, false, false}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace editortest
