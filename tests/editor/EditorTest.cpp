// The editor window shown offscreen over a temporary menu directory, driven with
// real key and mouse events, every dialog answered from the test's script.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <deque>
#include <tuple>
#include <vector>

#include "GuiTest.h"
#include "dialogs/Dialogs.h"
#include "editor/EditorStartup.h"
#include "editor/frmOpening.h"
#include "menufile/Crc.h"
#include "model/MenuModel.h"
#include "ui/Geometry.h"

namespace {

using testsupport::SeenMessage;
using Bytes = std::vector<std::uint8_t>;
using Message = std::tuple<int, unsigned, std::string>;  // type, colour, text
constexpr int kOk = dialogs::kAnswerOk, kYes = dialogs::kAnswerYes, kNo = dialogs::kAnswerNo;
constexpr unsigned kRed = dialogs::kRed, kYellow = dialogs::kYellow;
const Message kNoMessage{-1, 0, "no message"}, kInvalidEntries{16, kRed, "\r\nInvalid Entry(s)."};
const QString kTitle = "R5800 Menu Editor V0.42    [ ";

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ovn::BuildCrcTables();
        script_ = testsupport::MakeScript();
        OpenWindow();
    }
    void OpenWindow() {  // a fresh window over a fresh menu state
        ovn::ResetMenuState();
        ovn::Shared().MenuDirectory = ui::ToPath(dir_.path());
        window_ = std::make_unique<editor::frmOpening>();
        window_->ShowModeless();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    editor::frmOpening& W() { return *window_; }
    std::string FilePath(const QString& name) const { return ui::ToPath(dir_.path() + "/" + name); }
    void Click(const QString& name) { testsupport::ClickButton(W(), name); }
    void ChooseOven(int index) { Click(QString("optOvenType(%1)").arg(index)); }
    bool IsRed(ui::TextBox* box) const { return box->BackColor() == ui::ColorFromBgr(kRed); }
    static Message Shown(const SeenMessage* seen) {
        return seen ? Message{seen->type, seen->color, seen->text} : kNoMessage;
    }
    // When `shown`, expects a message box next and answers it; what it showed is filled in as it opens.
    SeenMessage* Expect(int answer, bool shown = true) {
        if (shown) testsupport::ExpectMessage(*script_, answer, &seen_.emplace_back());
        return shown ? &seen_.back() : nullptr;
    }
    void ClickLine(int line) {
        W().lstItems->scrollToItem(W().lstItems->item(line));
        QTest::mouseClick(W().lstItems->viewport(), Qt::LeftButton, {},
                          W().lstItems->visualItemRect(W().lstItems->item(line)).center());
    }
    // Empties the box with Backspace, then types `text` key by key.
    void SetBox(ui::TextBox* box, const QString& text) {
        ASSERT_TRUE(box->isEnabled()) << box->objectName().toStdString();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        for (auto i = box->Text().size(); i > 0; --i) QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    void SetRoastNHold(bool on) {
        W().chkRoastNHold->setFocus();
        if ((W().chkRoastNHold->Value() == 1) != on) QTest::keyClick(W().chkRoastNHold, Qt::Key_Space);
    }
    void CopyTo(const QString& page, const QString& item) {
        SetBox(W().txtPage, page);
        SetBox(W().txtItem, item);
        Click("cmdBut(6)");
    }
    // The chooser next: types `saveAs` ("cancel": presses Cancel) or clicks the file `read`, runs `beforeOk`, OK.
    void ExpectChooser(const QString& saveAs, const QString& read = "", std::function<void()> beforeOk = {}) {
        script_->Expect("frmMEDrvDirFil100", [=](QWidget& chooser) {
            QTest::keyClicks(testsupport::Child<QLineEdit>(chooser, "txtFileName"), saveAs);
            auto* list = testsupport::Child<QListWidget>(chooser, "lstFile");
            const auto found = list->findItems(read, Qt::MatchFixedString);
            ASSERT_EQ(found.size(), read.isEmpty() ? 0 : 1) << read.toStdString();
            for (auto* item : found)
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            if (beforeOk) beforeOk();
            testsupport::ClickButton(chooser, saveAs == "cancel" ? "cmdBut(0)" : "cmdBut(1)");
        });
    }
    QString Fields() {  // as the item file holds them: name, temperature, power, hours, minutes, fan, roast, hold
        const QStringList fields = {W().txtName->Text(),
                                    W().txtCookTemp->Text(),
                                    W().cboPowerLevel->Text(),
                                    W().txtCookTimeHH->Text(),
                                    W().txtCookTimeMM->Text(),
                                    W().cboFanSpeed->Text(),
                                    QString::number(W().chkRoastNHold->Value()),
                                    W().txtHoldTemp->Text()};
        return fields.join('|');
    }
    QTemporaryDir dir_;
    std::deque<SeenMessage> seen_;
    std::unique_ptr<ui::ModalScript> script_;  // reports answers left unused as it goes, after the window
    std::unique_ptr<editor::frmOpening> window_;
};

const Qt::Alignment L = Qt::AlignLeft, R = Qt::AlignRight, C = Qt::AlignHCenter;
// name, parent, caption, twips, alignment
const std::tuple<const char*, const char*, const char*, ui::Place, Qt::Alignment> kLayout[] = {
    {"cmdBut(5)", "frmOpening", "New Menu", {180, 180, 2835, 735}, L},
    {"optOvenType(0)", "frmOvenType", "Gas", {120, 360, 915, 315}, L},
    {"optOvenType(1)", "frmOvenType", "Electric", {1260, 360, 1275, 315}, L},
    {"lstItems", "frmOpening", "", {180, 2280, 2775, 4260}, L},
    {"txtName", "frmOpening", "", {5280, 1260, 1875, 480}, L},
    {"txtCookTemp", "frmOpening", "", {5280, 1860, 1275, 480}, L},
    {"cboPowerLevel", "frmOpening", "", {5280, 2460, 1335, 480}, L},
    {"txtCookTimeHH", "frmOpening", "", {5280, 3060, 555, 480}, C},
    {"txtCookTimeMM", "frmOpening", "", {6000, 3060, 555, 480}, C},
    {"cboFanSpeed", "frmOpening", "", {5280, 3900, 1335, 480}, L},
    {"chkRoastNHold", "frmRoastNHold", "Roast & Hold", {120, 0, 1995, 255}, L},
    {"txtHoldTemp", "frmRoastNHold", "", {1800, 360, 1335, 480}, L},
    {"cmdBut(3)", "frmOpening", "Save Item", {8580, 180, 2295, 675}, L},
    {"cmdBut(4)", "frmOpening", "Clear Item", {8580, 1140, 2295, 675}, L},
    {"cmdBut(1)", "frmOpening", "Save Menu to File", {8580, 2160, 2295, 675}, L},
    {"cmdBut(2)", "frmOpening", "Get Menu from File", {8580, 3120, 2295, 675}, L},
    {"cmdBut(0)", "frmOpening", "Quit", {8580, 5940, 2295, 675}, L},
    {"lblItems", "frmOpening", "Current Menu Items", {180, 1920, 2535, 375}, L},
    {"lblMenuItem", "frmOpening", "New Menu\r\nselect oven type", {3480, 180, 4635, 795}, C},
    {"lblCookTemp", "frmOpening", "Cook Temp", {3480, 1905, 1635, 375}, R},
    {"lblPowerLevel", "frmOpening", "Power Level", {3480, 2505, 1635, 375}, R},
    {"lblCookTime", "frmOpening", "Cook Time", {3480, 3105, 1635, 375}, R},
    {"lblName", "frmOpening", "Item Name", {3480, 1305, 1635, 375}, R},
    {"lblFanSpeed", "frmOpening", "Fan Speed", {3480, 3960, 1635, 375}, R},
    {"frmRoastNHold", "frmOpening", "", {3480, 4560, 4635, 1035}, L},
    {"lblHoldTemp", "frmRoastNHold", "Hold Temp", {180, 360, 1455, 375}, R},
    {"frmOvenType", "frmOpening", "Oven Type", {180, 1020, 2835, 795}, L},
    {"lblCookTimeSep1", "frmOpening", ":", {5880, 3120, 75, 375}, C},
    {"lblPowerLevelPer", "frmOpening", "%", {6600, 2520, 315, 375}, C},
    {"lblCookTimeHH", "frmOpening", "HH", {5400, 3540, 315, 255}, C},
    {"lblCookTimeMM", "frmOpening", "MM", {6120, 3540, 315, 255}, C},
    {"lblCookTempRange", "frmOpening", "", {6660, 1860, 1335, 435}, L},
    {"lblCookTimRange", "frmOpening", "", {6660, 3060, 1395, 435}, L},
    {"lblHoldTempRange", "frmRoastNHold", "", {3240, 480, 1275, 255}, L},
    {"cmdBut(6)", "frmOpening", "Copy To", {8580, 4200, 2295, 675}, L},
    {"txtPage", "frmOpening", "", {9360, 4980, 435, 420}, C},
    {"lblPage", "frmOpening", "Page", {8580, 4980, 735, 375}, R},
    {"txtItem", "frmOpening", "", {10440, 4980, 435, 420}, C},
    {"lblItem", "frmOpening", "Item", {9840, 4980, 555, 375}, R},
};

QString ShownCaption(QWidget* widget) {
    if (auto* label = qobject_cast<ui::Label*>(widget)) return label->Caption();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return ui::CaptionText(button->text());
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    auto* box = qobject_cast<ui::TextBox*>(widget);
    return box ? box->Text() : "";
}
Qt::Alignment ShownAlignment(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->alignment() & Qt::AlignHorizontal_Mask;
    auto* box = qobject_cast<QLineEdit*>(widget);
    return box ? box->alignment() & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
}

TEST_F(EditorTest, EveryControlStandsAtItsPlaceWithItsCaptionInTabOrder) {
    EXPECT_EQ(W().size(), QSize(ui::TwipsToPixels(11115), ui::TwipsToPixels(6780)));
    for (const auto& [name, parent, caption, place, align] : kLayout) {
        SCOPED_TRACE(name);
        QWidget* widget = testsupport::Child(W(), name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), parent);
        EXPECT_EQ(widget->geometry(), ui::ToPixels(place));
        EXPECT_EQ(ShownCaption(widget), caption);
        EXPECT_EQ(ShownAlignment(widget), align);
        EXPECT_TRUE(!*caption || ui::CaptionFits(widget)) << "clipped caption";
    }
    EXPECT_TRUE(QFontInfo(W().lstItems->font()).fixedPitch());
    for (const char* line : {"Line1", "Line2", "Line3", "Line4", "Line5"}) EXPECT_TRUE(W().findChild<ui::Line*>(line));
    ChooseOven(0);
    SetRoastNHold(true);  // opens the hold temperature
    QStringList visited;
    for (int i = 0; i < 18; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited.join(' '),
              "txtHoldTemp cmdBut(3) cmdBut(4) cmdBut(1) cmdBut(2) cmdBut(0) cmdBut(6) txtPage txtItem cmdBut(5) "
              "lstItems txtName txtCookTemp cboPowerLevel txtCookTimeHH txtCookTimeMM cboFanSpeed chkRoastNHold");
}

// The window in one configuration: editing turns buttons 1, 3, 4, 6 and the fields on, the oven types off.
void ExpectConfiguration(editor::frmOpening& w, const char* where, int oven, const char* range, const QString& file) {
    SCOPED_TRACE(where);
    const bool editing = oven >= 0;
    EXPECT_EQ(w.DetermineOvenType(), oven);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(w.cmdBut->Button(i)->isEnabled(), editing || i == 0 || i == 2 || i == 5) << i;
    for (bool on : {w.lstItems->isEnabled(), w.txtName->isEnabled(), w.txtPage->isEnabled(),
                    !w.optOvenType->Button(0)->isEnabled(), !w.optOvenType->Button(1)->isEnabled()})
        EXPECT_EQ(on, editing);
    EXPECT_FALSE(w.txtHoldTemp->isEnabled());
    EXPECT_EQ(w.lblMenuItem->Caption(), editing ? "Page 1\r\nItem 0" : "New Menu\r\nselect oven type");
    EXPECT_EQ(w.lblCookTempRange->Caption(), range);
    EXPECT_EQ(w.Caption(), kTitle + file + " ]");
    EXPECT_EQ(w.lstItems->ListCount(), editor::kListLineCount);
    EXPECT_EQ(w.lstItems->ListIndex(), editing ? 1 : -1);
    EXPECT_FALSE(ovn::Shared().ItemChanged || ovn::Shared().IgnoreListClick);
}

TEST_F(EditorTest, ASessionPassesThroughTheConfigurations) {
    ExpectConfiguration(W(), "load", -1, "", "New Menu");
    EXPECT_EQ(W().cboPowerLevel->ListIndex(), -1);
    EXPECT_NEAR(W().LeftTwips(), ui::Form::ScreenWidthTwips() / 2 - W().WidthTwips() / 2, ui::kTwipsPerPixel);
    EXPECT_NEAR(W().TopTwips(), ui::Form::ScreenHeightTwips() / 2 - W().HeightTwips() / 2, ui::kTwipsPerPixel);
    ChooseOven(0);
    ExpectConfiguration(W(), "gas", 0, "F \r\n200 to 500", "New Menu");
    EXPECT_EQ(W().lblCookTimRange->Caption() + W().lblHoldTempRange->Caption(), "HH:MM\r\n00:00 to 18:00F 100 to 200");
    EXPECT_EQ(W().cboPowerLevel->itemText(10) + W().cboFanSpeed->itemText(2), "0OFF");
    EXPECT_EQ(Fields(), "|325|100|00|10|HIGH|0|160");  // slot 0
    ExpectChooser("GASMENU1");
    Click("cmdBut(1)");
    Expect(kYes);
    Click("cmdBut(5)");
    ExpectConfiguration(W(), "new menu", -1, "", "New Menu");
    ChooseOven(1);
    ExpectConfiguration(W(), "electric", 1, "F \r\n200 - 600", "New Menu");
    for (const char* where : {"gas menu read", "read again"}) {
        Expect(kYes);
        ExpectChooser("", "GASMENU1.ovn");
        Click("cmdBut(2)");
        ExpectConfiguration(W(), where, 0, "F \r\n200 to 500", dir_.path() + "/GASMENU1.ovn");
    }
}

TEST_F(EditorTest, SaveItemPaintsTheBadBoxesRed) {
    const QString HH = "txtCookTimeHH", MM = "txtCookTimeMM", TEMP = "txtCookTemp", HOLD = "txtHoldTemp";
    // label, oven, cook temp, hours, minutes, hold (nullptr: unticked; "~...": typed, then unticked), boxes left red
    const std::tuple<const char*, int, const char*, const char*, const char*, const char*, QStringList> rows[] = {
        {"gas500", 0, "500", "18", "00", nullptr, {}},
        {"gas501", 0, "501", "01", "00", nullptr, {TEMP}},
        {"electric600", 1, "600", "01", "00", nullptr, {}},
        {"electric601", 1, "601", "01", "00", nullptr, {TEMP}},
        {"holdNotTicked", 0, "300", "01", "00", "~999", {}},
        {"hold99", 0, "300", "01", "00", "99", {HOLD}},
        {"time0060", 0, "300", "00", "60", nullptr, {MM}},
        {"hoursEmpty", 0, "300", "", "0130", nullptr, {HH, MM}},
        {"oneDigitBoxesPadded", 0, "300", "1", "5", nullptr, {}},
        {"severalAtOnce", 0, "100", "19", "00", "300", {TEMP, HH, HOLD}},
    };
    for (const auto& [label, oven, cookTemp, hours, minutes, hold, red] : rows) {
        SCOPED_TRACE(label);
        OpenWindow();
        ChooseOven(oven);
        SetBox(W().txtCookTemp, "99");
        Expect(kOk);
        Click("cmdBut(3)");  // a red box from an earlier validation
        SetBox(W().txtName, "TEST");
        SetBox(W().txtCookTemp, cookTemp);
        SetBox(W().txtCookTimeHH, hours);
        SetBox(W().txtCookTimeMM, minutes);
        SetRoastNHold(hold);
        if (hold) SetBox(W().txtHoldTemp, hold + (hold[0] == '~'));
        if (hold && hold[0] == '~') SetRoastNHold(false);
        SeenMessage* seen = Expect(kOk, !red.isEmpty());
        Click("cmdBut(3)");  // leaving the minutes box pads it first
        for (ui::TextBox* box : {W().txtName, W().txtCookTemp, W().txtCookTimeHH, W().txtCookTimeMM, W().txtHoldTemp})
            EXPECT_EQ(IsRed(box), red.contains(box->objectName())) << box->objectName().toStdString();
        EXPECT_EQ(ovn::Shared().MenuItems[0].Name, red.isEmpty() ? "TEST" : "");
        EXPECT_EQ(ovn::Shared().ItemChanged, !red.isEmpty());
        EXPECT_EQ(Shown(seen), red.isEmpty() ? kNoMessage : kInvalidEntries);
    }
}

TEST_F(EditorTest, KeysAreFilteredWithNoWayAroundThemAndTimesArePadded) {
    // box, typed, shown, marks the item changed
    const std::tuple<const char*, const char*, const char*, bool> keys[] = {
        {"txtName", "roast 1!", "ROAST 1!", true},
        {"txtName", "ABCDEFGHIJ", "ABCDEFGH", true},
        {"txtCookTemp", "3a5-.0", "350", true},
        {"txtHoldTemp", "x", "", true},
        {"txtCookTimeHH", "1+", "1", true},
        {"txtCookTimeMM", "e5", "5", true},
        {"txtPage", "1x", "1", false},
        {"txtItem", "9", "9", false},
    };
    ChooseOven(0);
    SetRoastNHold(true);  // opens the hold temperature
    for (const auto& [name, typed, shown, marks] : keys) {
        auto* box = testsupport::Child<ui::TextBox>(W(), name);
        SetBox(box, "");
        ovn::Shared().ItemChanged = false;
        QTest::keyClicks(box, typed);
        EXPECT_EQ(std::tuple(box->Text(), ovn::Shared().ItemChanged), std::tuple(QString(shown), marks)) << name;
    }
    QMimeData data;
    data.setText("999{x}");
    QGuiApplication::clipboard()->setText("999{x}");
    QInputMethodEvent compose;
    compose.setCommitString("999{x}");
    for (ui::TextBox* box : {W().txtName, W().txtCookTemp}) {  // paste, drop and input method
        SetBox(box, "");
        ovn::Shared().ItemChanged = false;
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_TRUE(ovn::Shared().ItemChanged) << "a dropped key still marks the item";
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
        QCoreApplication::sendEvent(box, &compose);
        EXPECT_EQ(box->Text(), "") << box->objectName().toStdString();
    }
    for (auto [typed, after] : {std::pair{"5", "05"}, {"12", "12"}, {"0", "00"}, {"", ""}})
        for (ui::TextBox* box : {W().txtCookTimeHH, W().txtCookTimeMM}) {
            SetBox(box, typed);
            QTest::keyClick(box, Qt::Key_Tab);
            EXPECT_EQ(box->Text(), after) << box->objectName().toStdString() << " " << typed;
        }
    SetBox(W().txtHoldTemp, "150");
    SetRoastNHold(false);
    EXPECT_FALSE(W().txtHoldTemp->isEnabled() || W().lblHoldTemp->isEnabled());
    EXPECT_EQ(W().txtHoldTemp->Text(), "150");
    ovn::Shared().ItemChanged = false;
    SetRoastNHold(true);
    EXPECT_TRUE(ovn::Shared().ItemChanged && W().lblHoldTemp->isEnabled());
    ovn::Shared().ItemChanged = false;
    QTest::keyClicks(W().cboFanSpeed, "O");
    EXPECT_TRUE(ovn::Shared().ItemChanged);
}

TEST_F(EditorTest, ListLinesAndSelectionByMouseAndKeyboard) {
    for (int line = 0; line < 110; ++line) {
        const QString text = W().lstItems->List(line);
        EXPECT_EQ(text, line % 11 ? QString::number(line % 11 - 1) : QString("> Page %1").arg(line / 11 + 1));
        EXPECT_EQ(editor::frmOpening::IsPageEntry(text), line % 11 == 0) << line;
    }
    ovn::Shared().MenuItems[1] = {"", "", "", "0010", "", "55", 0};  // as read from a damaged file
    ovn::Shared().MenuItems[10].Name = "BREAD";
    ChooseOven(0);
    QTest::keyClick(W().lstItems, Qt::Key_Down);
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, 1);
    EXPECT_EQ(W().cboFanSpeed->ListIndex() + W().cboPowerLevel->ListIndex(), -2) << "no entry for unknown values";
    ClickLine(12);
    EXPECT_EQ(W().lblMenuItem->Caption(), "Page 2\r\nItem 0");
    EXPECT_EQ(W().txtName->Text(), "BREAD");
    QTest::keyClick(W().lstItems, Qt::Key_Up);  // the page line of page 2
    EXPECT_EQ(W().lblMenuItem->Caption(), "Page 2");
    EXPECT_FALSE(W().txtName->isEnabled());
    EXPECT_EQ(std::tuple(ovn::Shared().CurrentListIndex, ovn::Shared().CurrentItemIndex), std::tuple(11, -1));
    QTest::keyClick(W().lstItems, Qt::Key_End);
    EXPECT_EQ(W().lblMenuItem->Caption(), "Page 10\r\nItem 9");
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, 99);
    EXPECT_FALSE(ovn::Shared().ItemChanged);
}

TEST_F(EditorTest, LeavingAChangedItemAsksAndFollowsTheAnswer) {
    constexpr int kCancel = dialogs::kAnswerCancel;
    // label, cook temp typed into slot 0, answer, line clicked (-1: the Down key), the new line loaded, slot 0 stored
    const std::tuple<const char*, const char*, int, int, bool, bool> rows[] = {
        {"yesValid", "300", kYes, 3, true, true},
        {"yesValidByKey", "300", kYes, -1, true, true},
        {"yesInvalid", "100", kYes, 3, false, false},
        {"yesInvalidByKey", "100", kYes, -1, false, false},
        {"no", "300", kNo, 3, true, false},
        {"noByKey", "300", kNo, -1, true, false},
        {"cancel", "300", kCancel, 3, false, false},
        {"cancelByKey", "300", kCancel, -1, false, false},
        {"cancelOnTheSameLine", "300", kCancel, 1, false, false},
    };
    for (const auto& [label, cookTemp, answer, line, moves, stored] : rows) {
        SCOPED_TRACE(label);
        const bool rejected = answer == kYes && !stored;
        OpenWindow();
        ChooseOven(0);
        SetBox(W().txtName, "PIE");
        SetBox(W().txtCookTemp, cookTemp);
        SeenMessage *question = Expect(answer), *invalid = Expect(kOk, rejected);
        line < 0 ? QTest::keyClick(W().lstItems, Qt::Key_Down) : ClickLine(line);
        EXPECT_EQ(Shown(question),
                  Message(18, kYellow, "\r\nYou are changing Menu Items.\r\nDo you want to save Item 1 information?"));
        EXPECT_EQ(Shown(invalid), rejected ? kInvalidEntries : kNoMessage);
        EXPECT_EQ(IsRed(W().txtCookTemp), rejected);
        const int current = !moves ? 1 : line < 0 ? 2 : line;
        EXPECT_EQ(std::tuple(ovn::Shared().CurrentListIndex, W().lstItems->ListIndex()), std::tuple(current, current))
            << "highlight on the line being edited";
        EXPECT_TRUE(W().lstItems->item(current)->isSelected());
        EXPECT_EQ(std::tuple(ovn::Shared().IgnoreListClick, ovn::Shared().ItemChanged), std::tuple(false, !moves));
        EXPECT_EQ(W().txtName->Text(), moves ? "" : "PIE");
        EXPECT_EQ(ovn::Shared().MenuItems[0].Name, stored ? "PIE" : "");
        EXPECT_EQ(W().lstItems->List(1), stored ? "0   PIE" : "0");
    }
}

const Bytes kDefaultBlock = {0x2E, 0xDC, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x58, 0x02, 0x45, 0xA9, 0, 0, 0, 0};
const Bytes kRoastBlock = {0xDB, 0x6E, 0, 0, 'R',  'O',  'A',  'S',  'T',  0,    0, 0,
                           0,    0,    0, 0, 0x18, 0x15, 0x5E, 0x85, 0x41, 0x01, 0, 0};  // clang-format: keep

// A whole menu of default slots with the ROAST block in the given slots.
Bytes MenuImage(std::initializer_list<int> roastSlots, std::uint8_t oven = 0) {
    Bytes image(ovn::kImageSize, 0);
    image[5] = oven;
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        const Bytes& block = std::count(roastSlots.begin(), roastSlots.end(), slot) ? kRoastBlock : kDefaultBlock;
        std::copy(block.begin(), block.end(), image.begin() + 8 + 24 * slot);
    }
    const std::uint32_t sum = ovn::CalculateByteSum(std::span<const std::uint8_t>(image.data() + 4, 2404));
    for (int i = 0; i < 4; ++i) image[i] = static_cast<std::uint8_t>(sum >> (8 * i));
    return image;
}
Bytes ReadFile(const std::string& path) {
    QFile file(ui::FromPath(path));
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return Bytes(data.begin(), data.end());
}
void WriteFile(const std::string& path, const Bytes& bytes) {
    QFile file(ui::FromPath(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

TEST_F(EditorTest, RoastMenuToFileAndBackThenDamagedFilesAreNamed) {
    ChooseOven(0);
    SetBox(W().txtName, "roast");
    SetBox(W().txtCookTemp, "350");
    QTest::keyClicks(W().cboPowerLevel, "8");
    SetBox(W().txtCookTimeHH, "01");
    SetBox(W().txtCookTimeMM, "30");
    QTest::keyClicks(W().cboFanSpeed, "L");
    SetRoastNHold(true);
    SetBox(W().txtHoldTemp, "160");
    ExpectChooser("ROASTMNU");
    Click("cmdBut(1)");  // stores the changed item, then writes the menu
    const std::string path = FilePath("ROASTMNU.ovn");
    EXPECT_EQ(ReadFile(path), MenuImage({0}));
    EXPECT_EQ(ovn::Shared().MenuFileName, path);
    EXPECT_EQ(W().Caption(), kTitle + ui::FromPath(path) + " ]");
    EXPECT_EQ(W().lstItems->List(1), "0   ROAST");
    OpenWindow();
    Expect(kYes);
    ExpectChooser("", "ROASTMNU.ovn");
    Click("cmdBut(2)");
    EXPECT_EQ(W().DetermineOvenType(), ovn::kGasOven);
    EXPECT_EQ(Fields(), "ROAST|350|80|01|30|LOW|1|160");
    SeenMessage* done = Expect(kOk);
    CopyTo("10", "9");
    EXPECT_EQ(Shown(done), Message(16, kYellow, "\r\nItem copy complete."));
    EXPECT_EQ(W().lstItems->List(109), "9   ROAST");
    ExpectChooser("ROASTMN2");
    Click("cmdBut(1)");
    EXPECT_EQ(ReadFile(FilePath("ROASTMN2.ovn")), MenuImage({0, 99}));

    const Message damaged{16, kYellow, "\r\nMenu file is damaged or incomplete.\r\nCheck every item before saving."};
    const std::pair<const char*, std::function<void(Bytes&)>> damages[] = {
        {"intact", [](Bytes&) {}},
        {"blockCrc", [](Bytes& b) { b[8 + 24 * 50 + 18] ^= 1; }},
        {"short", [](Bytes& b) { b.resize(2000); }},
        {"long", [](Bytes& b) { b.push_back(0); }}};
    for (int slot = 1; const auto& [label, damage] : damages) {  // each file has ROAST in another slot
        SCOPED_TRACE(label);
        Bytes bytes = MenuImage({slot}, 1);
        damage(bytes);
        WriteFile(FilePath("DAMAGED.ovn"), bytes);
        Expect(kYes);
        ExpectChooser("", "DAMAGED.ovn");
        SeenMessage* notice = Expect(kOk, slot > 1);
        Click("cmdBut(2)");
        EXPECT_EQ(W().DetermineOvenType(), ovn::kElectricOven);
        EXPECT_EQ(W().lstItems->List(slot + 1), QString::number(slot) + "   ROAST");
        EXPECT_EQ(Shown(notice), slot == 1 ? kNoMessage : damaged);
        ++slot;
    }
}

TEST_F(EditorTest, QuitAndTheCloseBoxAskOnceInRedOnceAnOvenTypeIsChosen) {
    const Message question{1, kRed, "\r\nAll unsaved Menu Information\r\nwill be lost. Do you want to continue ?"};
    const std::tuple<const char*, int, bool, int> rows[] = {
        // label, oven (-1: none, no question), close box, answer
        {"noOvenType", -1, false, kYes}, {"closeBoxNoOvenType", -1, true, kYes}, {"quitYes", 0, false, kYes},
        {"quitNo", 1, false, kNo},       {"closeBoxYes", 0, true, kYes},         {"closeBoxNo", 0, true, kNo}};
    bool ended = false;
    for (const auto& [label, oven, closeBox, answer] : rows) {
        SCOPED_TRACE(label);
        OpenWindow();
        W().onClosed = [&ended] { ended = true; };
        ended = false;
        if (oven >= 0) ChooseOven(oven);
        SeenMessage* seen = Expect(answer, oven >= 0);
        closeBox ? (void)W().close() : Click("cmdBut(0)");
        EXPECT_EQ(Shown(seen), oven < 0 ? kNoMessage : question);
        EXPECT_EQ(std::tuple(W().isVisible(), ended), std::tuple(answer == kNo, answer != kNo));
    }
}

TEST_F(EditorTest, AnswersOtherThanYesAndFailedReadsAndSavesChangeNothing) {
    ChooseOven(1);
    SetBox(W().txtName, "KEEP");
    ExpectChooser("KEPTMENU");
    Click("cmdBut(1)");
    const std::string vanished = FilePath("VANISHED.ovn"), kept = FilePath("KEPTMENU.ovn");
    WriteFile(vanished, MenuImage({}));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("ISAFOLDR.ovn"));  // a directory where the file would go
    const auto items = ovn::Shared().MenuItems;
    for (auto [button, text] :
         {std::pair{"cmdBut(2)", "ALL Current Menu Information\r\nwill be deleted. Do you want to continue ?"},
          {"cmdBut(4)", "Are you sure you want to\r\nclear ALL Item information ?"},
          {"cmdBut(5)", "Are you sure you want to\r\nclear ALL Menu information ?"}}) {
        SeenMessage* seen = Expect(kNo);
        Click(button);
        EXPECT_EQ(Shown(seen), Message(17, kYellow, std::string("\r\n") + text));
    }
    Expect(kYes);
    ExpectChooser("cancel");
    Click("cmdBut(2)");
    ExpectChooser("cancel");
    Click("cmdBut(1)");  // nothing changed: straight to the chooser
    std::string readError, saveError;
    Expect(kYes);
    ExpectChooser("", "VANISHED.ovn", [vanished] { QFile::remove(ui::FromPath(vanished)); });
    testsupport::ExpectErrorBox(*script_, &readError);
    Click("cmdBut(2)");
    ExpectChooser("ISAFOLDR");
    testsupport::ExpectErrorBox(*script_, &saveError);
    EXPECT_FALSE(W().MenuToFile());
    EXPECT_EQ(readError, "MenuGet : " + vanished);
    EXPECT_EQ(saveError, "MenuSave : " + FilePath("ISAFOLDR.ovn"));
    SetBox(W().txtCookTemp, "100");
    SeenMessage* invalid = Expect(kOk);
    Click("cmdBut(1)");  // a changed, invalid item: no chooser
    EXPECT_EQ(Shown(invalid), kInvalidEntries);
    EXPECT_EQ(ovn::Shared().MenuItems, items);
    EXPECT_EQ(ovn::Shared().MenuFileName, kept);
    EXPECT_EQ(W().Caption(), kTitle + ui::FromPath(kept) + " ]");
    EXPECT_EQ(W().txtName->Text(), "KEEP");
    EXPECT_EQ(W().DetermineOvenType(), ovn::kElectricOven);
    EXPECT_EQ(ovn::Shared().CurrentListIndex, 1);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"KEPTMENU.ovn"});
}

TEST_F(EditorTest, CopyToStoresUnsavedEditsAndClearItemSkipsAPageLine) {
    auto& items = ovn::Shared().MenuItems;
    items[9].Name = "LAST";
    ChooseOven(0);
    SetBox(W().txtName, "NEW");
    Expect(kOk);
    CopyTo("2", "0");
    EXPECT_EQ(items[0].Name + items[10].Name, "NEWNEW");
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    SetBox(W().txtCookTemp, "100");
    SeenMessage* invalid = Expect(kOk);
    CopyTo("3", "0");
    EXPECT_EQ(Shown(invalid), kInvalidEntries);
    EXPECT_EQ(items[20], ovn::DefaultItem());
    EXPECT_TRUE(IsRed(W().txtCookTemp));
    Expect(kYes);
    Click("cmdBut(4)");
    EXPECT_EQ(items[0], ovn::DefaultItem());
    EXPECT_EQ(std::tuple(W().lstItems->List(1), W().txtCookTemp->Text()), std::tuple(QString("0   "), QString("325")));
    EXPECT_FALSE(IsRed(W().txtCookTemp) || ovn::Shared().ItemChanged);
    ClickLine(11);       // page 2, whose line would give slot 9
    Click("cmdBut(4)");  // asks nothing, clears nothing
    SeenMessage *saved = Expect(kOk), *page = Expect(kOk);
    Click("cmdBut(3)");
    CopyTo("3", "3");
    EXPECT_EQ(Shown(saved), kInvalidEntries);
    EXPECT_EQ(Shown(page), Message(16, kYellow, "\r\nCan not copy 'Page'."));
    EXPECT_EQ(W().lstItems->List(11), "> Page 2");
    EXPECT_EQ(items[9].Name + items[10].Name + items[30].Name, "LASTNEW");
}

TEST_F(EditorTest, CopyToCopiesOrTells) {
    const std::string kMissing = "\r\nMissing 'Copy To' information.", kInvalid = "\r\nInvalid 'Copy To' information.";
    const std::tuple<const char*, const char*, const char*, std::string, int> rows[] = {
        // label, page, item, message, slot
        {"pageMissing", "", "1", kMissing, -1},
        {"itemMissing", "1", "", kMissing, -1},
        {"page0", "0", "1", kInvalid, -1},
        {"page11", "11", "0", kInvalid, -1},
        {"item10", "1", "10", kInvalid, -1},
        {"pageBeyond16Bits", "65537", "1", kInvalid, -1},
        {"itemBeyond16Bits", "1", "65536", kInvalid, -1},
        {"sameSlot", "1", "0", "", -1},
        {"page1Item5", "01", "5", "\r\nItem copy complete.", 5},
    };
    ChooseOven(0);
    SetBox(W().txtName, "SRC");
    Click("cmdBut(3)");
    for (const auto& [label, page, item, message, target] : rows) {
        SCOPED_TRACE(label);
        SeenMessage* seen = Expect(kOk, !message.empty());
        CopyTo(page, item);
        EXPECT_EQ(Shown(seen), message.empty() ? kNoMessage : Message(16, kYellow, message));
        for (int slot = 1; slot < 100; ++slot)
            EXPECT_EQ(ovn::Shared().MenuItems[slot].Name, slot == target ? "SRC" : "") << slot;
        EXPECT_EQ(W().txtPage->Text(), target >= 0 || !seen ? "" : page);
        EXPECT_EQ(ovn::Shared().CurrentListIndex, 1);
    }
}

TEST_F(EditorTest, StartupFailureShowsOnceAndOpensNoWindow) {
    const QByteArray home = qgetenv("HOME");
    WriteFile(FilePath("plainfile"), {1});
    qputenv("HOME", ui::FromPath(FilePath("plainfile") + "/home").toLocal8Bit());  // a file as parent
    std::unique_ptr<editor::frmOpening> window;
    SeenMessage* seen = Expect(kOk);
    EXPECT_FALSE(editor::RunEditorStartup(window));
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(Message(seen->type, seen->color, seen->text.substr(0, 24)),
              Message(0, kRed, "\r\nInitialization Error #"));
    qputenv("HOME", dir_.path().toLocal8Bit());
    EXPECT_TRUE(editor::RunEditorStartup(window));
    qputenv("HOME", home);
    EXPECT_TRUE(window && window->isVisible());
    EXPECT_EQ(ovn::Shared().MenuDirectory, FilePath("OVENS"));
}

}  // namespace
