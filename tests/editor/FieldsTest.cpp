// The item fields: validation with its red boxes, the key filters and the ways
// around them, the padding of the time boxes, the roast-and-hold box.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>

#include "EditorFixture.h"

namespace editortest {
namespace {

struct ValidationRow {
    const char* label;
    int oven;
    const char* cookTemp;
    const char* hours;
    const char* minutes;
    const char* hold;  // nullptr: roast and hold not ticked; "~": typed, then unticked
    QStringList red;   // the boxes left red; empty: the item is stored
};
void PrintTo(const ValidationRow& row, std::ostream* out) {
    *out << row.label;
}

class ValidationTest : public EditorTest, public ::testing::WithParamInterface<ValidationRow> {};

TEST_P(ValidationTest, SaveItemPaintsTheBadBoxes) {
    const ValidationRow& row = GetParam();
    ChooseOven(row.oven);
    SetBox(W().txtCookTemp, "99");
    ExpectMessage(dialogs::kAnswerOk);
    Click("cmdBut(3)");  // a red box from an earlier validation
    SetBox(W().txtName, "TEST");
    SetBox(W().txtCookTemp, row.cookTemp);
    SetBox(W().txtCookTimeHH, row.hours);
    SetBox(W().txtCookTimeMM, row.minutes);
    SetRoastNHold(row.hold != nullptr);
    if (row.hold != nullptr) SetBox(W().txtHoldTemp, row.hold + (row.hold[0] == '~' ? 1 : 0));
    if (row.hold != nullptr && row.hold[0] == '~') SetRoastNHold(false);  // typed, then unticked
    W().cmdBut->Button(editor::kSaveItem)->setFocus();                    // leaves the minutes box

    SeenMessage seen;
    if (!row.red.isEmpty()) ExpectMessage(dialogs::kAnswerOk, &seen);
    Click("cmdBut(3)");
    for (ui::TextBox* box : {W().txtName, W().txtCookTemp, W().txtCookTimeHH, W().txtCookTimeMM, W().txtHoldTemp})
        EXPECT_EQ(IsRed(box), row.red.contains(box->objectName())) << box->objectName().toStdString();
    EXPECT_EQ(ovn::Shared().MenuItems[0].Name, row.red.isEmpty() ? "TEST" : "");
    EXPECT_EQ(ovn::Shared().ItemChanged, !row.red.isEmpty());
    if (!row.red.isEmpty()) {
        EXPECT_EQ(seen.type, 16);
        EXPECT_EQ(seen.color, dialogs::kRed);
        EXPECT_EQ(seen.text, kInvalidEntries);
    }
}

using V = ValidationRow;
const QStringList kGood;
INSTANTIATE_TEST_SUITE_P(
    Boundaries, ValidationTest,
    ::testing::Values(V{"gas200", 0, "200", "00", "00", nullptr, kGood},
                      V{"gas500", 0, "500", "18", "00", nullptr, kGood},
                      V{"gas501", 0, "501", "01", "00", nullptr, {"txtCookTemp"}},
                      V{"electric600", 1, "600", "01", "00", nullptr, kGood},
                      V{"electric601", 1, "601", "01", "00", nullptr, {"txtCookTemp"}},
                      V{"cookTempHuge", 0, "99999999", "01", "00", nullptr, {"txtCookTemp"}},
                      V{"hold200", 0, "300", "01", "00", "200", kGood},
                      V{"holdNotTicked", 0, "300", "01", "00", "~999", kGood},
                      V{"hold99", 0, "300", "01", "00", "99", {"txtHoldTemp"}},
                      V{"time1801", 0, "300", "18", "01", nullptr, {"txtCookTimeHH", "txtCookTimeMM"}},
                      V{"time1900", 0, "300", "19", "00", nullptr, {"txtCookTimeHH"}},
                      V{"time0060", 0, "300", "00", "60", nullptr, {"txtCookTimeMM"}},
                      V{"hoursEmpty", 0, "300", "", "0130", nullptr, {"txtCookTimeHH", "txtCookTimeMM"}},
                      V{"oneDigitBoxesPadded", 0, "300", "1", "5", nullptr, kGood},
                      V{"severalAtOnce", 0, "100", "19", "00", "300", {"txtCookTemp", "txtCookTimeHH", "txtHoldTemp"}}),
    [](const auto& info) { return std::string(info.param.label); });

struct KeyRow {
    const char* label;
    const char* box;
    const char* typed;
    const char* shown;
    bool marksChanged;
};
void PrintTo(const KeyRow& row, std::ostream* out) {
    *out << row.label;
}

class KeyFilterTest : public EditorTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(KeyFilterTest, TypedKeysAreFiltered) {
    const KeyRow& row = GetParam();
    ChooseOven(0);
    SetRoastNHold(true);  // opens the hold temperature
    auto* box = testsupport::Child<ui::TextBox>(W(), row.box);
    SetBox(box, "");
    ovn::Shared().ItemChanged = false;
    QTest::keyClicks(box, row.typed);
    EXPECT_EQ(box->Text(), row.shown);
    EXPECT_EQ(ovn::Shared().ItemChanged, row.marksChanged);
}

INSTANTIATE_TEST_SUITE_P(Boxes, KeyFilterTest,
                         ::testing::Values(KeyRow{"nameUpperCase", "txtName", "roast 1!", "ROAST 1!", true},
                                           KeyRow{"nameDropsBraces", "txtName", "{|}~`", "", true},
                                           KeyRow{"nameStopsAtEight", "txtName", "ABCDEFGHIJ", "ABCDEFGH", true},
                                           KeyRow{"cookTempDigitsOnly", "txtCookTemp", "3a5-.0", "350", true},
                                           KeyRow{"holdTempDropped", "txtHoldTemp", "x", "", true},
                                           KeyRow{"hoursDigitsOnly", "txtCookTimeHH", "1+", "1", true},
                                           KeyRow{"minutesDigitsOnly", "txtCookTimeMM", "e5", "5", true},
                                           KeyRow{"pageDoesNotMark", "txtPage", "1x", "1", false},
                                           KeyRow{"itemDoesNotMark", "txtItem", "9", "9", false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(EditorTest, NoWayAroundTheFilters) {
    ChooseOven(0);
    for (ui::TextBox* box : {W().txtName, W().txtCookTemp}) {
        SCOPED_TRACE(box->objectName().toStdString());
        SetBox(box, "");
        ovn::Shared().ItemChanged = false;
        QGuiApplication::clipboard()->setText("999{x}");
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_TRUE(ovn::Shared().ItemChanged) << "a dropped key still marks the item";
        QMimeData data;
        data.setText("999{x}");
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
        QInputMethodEvent compose;
        compose.setCommitString("999{x}");
        QCoreApplication::sendEvent(box, &compose);
        EXPECT_EQ(box->Text(), "");
    }
}

TEST_F(EditorTest, TimeBoxesArePaddedOnLeavingAndRoastOpensHold) {
    ChooseOven(0);
    for (auto [typed, after] : {std::pair{"5", "05"}, {"12", "12"}, {"0", "00"}, {"", ""}}) {
        for (ui::TextBox* box : {W().txtCookTimeHH, W().txtCookTimeMM}) {
            SetBox(box, typed);
            QTest::keyClick(box, Qt::Key_Tab);
            EXPECT_EQ(box->Text(), after) << box->objectName().toStdString() << " " << typed;
        }
    }
    ovn::Shared().ItemChanged = false;
    SetRoastNHold(true);
    EXPECT_TRUE(ovn::Shared().ItemChanged);
    EXPECT_TRUE(W().lblHoldTemp->isEnabled());
    SetBox(W().txtHoldTemp, "150");
    SetRoastNHold(false);
    EXPECT_FALSE(W().txtHoldTemp->isEnabled());
    EXPECT_FALSE(W().lblHoldTemp->isEnabled());
    EXPECT_EQ(W().txtHoldTemp->Text(), "150");
    ovn::Shared().ItemChanged = false;
    ChooseEntry(W().cboFanSpeed, "OFF");
    EXPECT_TRUE(ovn::Shared().ItemChanged);
}

}  // namespace
}  // namespace editortest
