// The editor window offscreen over a temporary menu directory: real keys and clicks, every dialog scripted.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <fstream>

#include "GuiTest.h"
#include "dialogs/DialogValues.h"
#include "dialogs/Dialogs.h"
#include "editor/EditorStartup.h"
#include "editor/frmOpening.h"
#include "menufile/Crc.h"
#include "model/MenuModel.h"
#include "ui/Geometry.h"
#include "ui/PrintDialog.h"

namespace {

using testsupport::Child, testsupport::Message;
using Bytes = std::vector<std::uint8_t>;
constexpr int kOk = dialogs::kAnswerOk, kYes = dialogs::kAnswerYes, kNo = dialogs::kAnswerNo,
              kCancel = dialogs::kAnswerCancel;
constexpr unsigned kRed = dialogs::kRed, kYellow = dialogs::kYellow;
const Message kInvalidEntries{16, kRed, "\r\nInvalid Entry(s)."};
Message Damaged(const std::string& detail) {  // the notice, its last line naming what the checks found
    return {16, kYellow, "\r\nMenu file is damaged.\r\nCheck every item before saving.\r\n" + detail};
}
const Message kIncomplete{16, kYellow, "\r\nMenu file is incomplete.\r\nCheck every item before saving."};
const QString kTitle = "R5800 Menu Editor V0.42    [ ";
// Every control in tab order: name, twips (left, top, width, height), then its looks: parent
// (frmOpening O, frmOvenType T, frmRoastNHold R), alignment (L, R, C) and caption.
// clang-format off
const std::tuple<const char*, int, int, int, int, const char*> kLayout[] = {
    {"cmdBut(5)", 180, 180, 2835, 735, "OL New Menu"},  {"optOvenType(0)", 120, 360, 915, 315, "TL Gas"},
    {"optOvenType(1)", 1260, 360, 1275, 315, "TL Electric"},
    {"lstItems", 180, 2280, 2775, 4260, "OL "},         {"txtName", 5280, 1260, 1875, 480, "OL "},
    {"txtCookTemp", 5280, 1860, 1275, 480, "OL "},      {"cboPowerLevel", 5280, 2460, 1335, 480, "OL "},
    {"txtCookTimeHH", 5280, 3060, 555, 480, "OC "},     {"txtCookTimeMM", 6000, 3060, 555, 480, "OC "},
    {"cboFanSpeed", 5280, 3900, 1335, 480, "OL "},      {"chkRoastNHold", 120, 0, 1995, 255, "RL Roast & Hold"},
    {"txtHoldTemp", 1800, 360, 1335, 480, "RL "},       {"cmdBut(3)", 8580, 180, 2295, 675, "OL Save Item"},
    {"cmdBut(4)", 8580, 1140, 2295, 675, "OL Clear Item"},
    {"cmdBut(1)", 8580, 2160, 2295, 675, "OL Save Menu to File"},
    {"cmdBut(2)", 8580, 3120, 2295, 675, "OL Get Menu from File"},
    {"cmdBut(0)", 8580, 5940, 2295, 675, "OL Quit"},    {"lblItems", 180, 1920, 2535, 375, "OL Current Menu Items"},
    {"lblMenuItem", 3480, 180, 4635, 795, "OC New Menu\r\nselect oven type"},
    {"lblCookTemp", 3480, 1905, 1635, 375, "OR Cook Temp"},
    {"lblPowerLevel", 3480, 2505, 1635, 375, "OR Power Level"},
    {"lblCookTime", 3480, 3105, 1635, 375, "OR Cook Time"},
    {"lblName", 3480, 1305, 1635, 375, "OR Item Name"}, {"lblFanSpeed", 3480, 3960, 1635, 375, "OR Fan Speed"},
    {"frmRoastNHold", 3480, 4560, 4635, 1035, "OL "},   {"lblHoldTemp", 180, 360, 1455, 375, "RR Hold Temp"},
    {"frmOvenType", 180, 1020, 2835, 795, "OL Oven Type"},
    {"lblCookTimeSep1", 5880, 3120, 75, 375, "OC :"},   {"lblPowerLevelPer", 6600, 2520, 315, 375, "OC %"},
    {"lblCookTimeHH", 5400, 3540, 315, 255, "OC HH"},   {"lblCookTimeMM", 6120, 3540, 315, 255, "OC MM"},
    {"lblCookTempRange", 6660, 1860, 1335, 435, "OL "}, {"lblCookTimRange", 6660, 3060, 1395, 435, "OL "},
    {"lblHoldTempRange", 3240, 480, 1275, 255, "RL "},  {"cmdBut(6)", 8580, 4200, 2295, 675, "OL Copy To"},
    {"txtPage", 9360, 4980, 435, 420, "OC "},           {"lblPage", 8580, 4980, 735, 375, "OR Page"},
    {"txtItem", 10440, 4980, 435, 420, "OC "},          {"lblItem", 9840, 4980, 555, 375, "OR Item"}
};
// clang-format on

class EditorTest : public ::testing::Test {
public:  // the helpers chain: Expect(kYes).Click("cmdBut(5)")
    void SetUp() override { OpenWindow(); }
    void OpenWindow(int oven = -1) {  // a fresh window over a fresh menu state, with the oven type chosen
        ovn::BuildCrcTables();
        ovn::ResetMenuState();
        dialogs::ResetDialogValues();
        ovn::Shared().MenuDirectory = ui::ToPath(dir_.path());
        window_ = std::make_unique<editor::frmOpening>();
        window_->ShowModeless();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        if (oven >= 0) ChooseOven(oven);
    }
    editor::frmOpening& W() { return *window_; }
    std::string FilePath(const QString& name) const { return ui::ToPath(dir_.path() + "/" + name); }
    void Click(const QString& name) { testsupport::ClickButton(W(), name); }
    void ChooseOven(int index) { Click(QString("optOvenType(%1)").arg(index)); }
    bool IsRed(ui::TextBox* box) const {  // and described so to a screen reader exactly while red
        const bool red = box->BackColor() == ui::ColorFromBgr(kRed);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Description),
                  red ? "Invalid entry" : "")
            << box->objectName().toStdString();
        return red;
    }
    // A message box next (when `when`): checks what it shows (unless `shown` is left empty), then answers it.
    EditorTest& Expect(int answer, const Message& shown = {}, bool when = true) {
        if (!when) return *this;
        script_->Expect("frmMEMessage100", [=, this](QWidget& box) {
            const auto& values = dialogs::Values();
            const Message seen{values.MessageType, values.MessageColor, values.MessageText};
            EXPECT_EQ(seen, std::get<2>(shown).empty() ? seen : shown);
            // Questions and notices stand on the editor window's centre.
            EXPECT_EQ(QPoint(values.FormCenterX, values.FormCenterY), W().CenterTwips());
            testsupport::ClickButton(box, QString("cmdBut(%1)").arg(answer));
        });
        return *this;
    }
    void ClickLine(int line) {
        W().lstItems->scrollToItem(W().lstItems->item(line));
        QTest::mouseClick(W().lstItems->viewport(), Qt::LeftButton, {},
                          W().lstItems->visualItemRect(W().lstItems->item(line)).center());
    }
    EditorTest& SetBox(ui::TextBox* box, const QString& text) {  // empties it with Backspace, types `text` key by key
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        for (auto i = box->Text().size(); i > 0; --i) QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        return *this;
    }
    EditorTest& SetItemBoxes(const QStringList& texts) {  // name, cook temperature, hours, minutes: as many as given
        ui::TextBox* const boxes[] = {W().txtName, W().txtCookTemp, W().txtCookTimeHH, W().txtCookTimeMM};
        for (int i = 0; i < texts.size(); ++i) SetBox(boxes[i], texts[i]);
        return *this;
    }
    EditorTest& SetRoastNHold(bool on) {
        if ((W().chkRoastNHold->Value() == 1) != on) QTest::keyClick(W().chkRoastNHold, Qt::Key_Space);
        return *this;
    }
    void CopyTo(const QString& page, const QString& item) {
        SetBox(W().txtPage, page).SetBox(W().txtItem, item).Click("cmdBut(6)");
    }
    // The chooser next: `name` clicked in the file list or typed, `beforeOk` run, then OK ("cancel": Cancel).
    EditorTest& ExpectChooser(const QString& name, std::function<void()> beforeOk = {}) {
        script_->Expect("frmMEDrvDirFil100", [=](QWidget& chooser) {
            auto* list = Child<QListWidget>(chooser, "lstFile");
            for (auto* item : list->findItems(name, Qt::MatchFixedString))
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            QTest::keyClicks(Child<QLineEdit>(chooser, "txtFileName"), name);  // disabled when reading
            if (beforeOk) beforeOk();
            testsupport::ClickButton(chooser, name == "cancel" ? "cmdBut(0)" : "cmdBut(1)");
        });
        return *this;
    }
    void Save(const QString& saveAs) { ExpectChooser(saveAs).Click("cmdBut(1)"); }
    void Read(const QString& file, const Message& notice = {}) {  // YES to "Get Menu from File", `file`, `notice`
        Expect(kYes).ExpectChooser(file).Expect(kOk, notice, !std::get<2>(notice).empty()).Click("cmdBut(2)");
    }
    QString Fields() {  // as the item file holds them: name, temperature, power, hours, minutes, fan, roast, hold
        return W().txtName->Text() + '|' + W().txtCookTemp->Text() + '|' + W().cboPowerLevel->Text() + '|' +
               W().txtCookTimeHH->Text() + '|' + W().txtCookTimeMM->Text() + '|' + W().cboFanSpeed->Text() + '|' +
               QString::number(W().chkRoastNHold->Value()) + '|' + W().txtHoldTemp->Text();
    }
    QTemporaryDir dir_;
    std::unique_ptr<ui::ModalScript> script_ = testsupport::MakeScript();  // reports unused answers, after the window
    std::unique_ptr<editor::frmOpening> window_;
};

QString Looks(QWidget* widget) {  // as the layout table gives it
    auto* label = qobject_cast<ui::Label*>(widget);
    auto* box = qobject_cast<ui::TextBox*>(widget);
    auto* button = qobject_cast<QAbstractButton*>(widget);
    const QString caption = label ? label->Caption() : box ? box->Text() : widget->property("title").toString();
    const auto align = (label ? label->alignment() : box ? box->alignment() : Qt::AlignLeft) & Qt::AlignHorizontal_Mask;
    const auto parent = widget->parentWidget()->objectName();
    const auto where = QStringList{"frmOpening", "frmOvenType", "frmRoastNHold"}.indexOf(parent);
    const auto how = QList<Qt::Alignment>{Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter}.indexOf(align);
    return QString("?OTR").mid(where + 1, 1) + QString("?LRC").mid(how + 1, 1) + " " +
           (button ? ui::CaptionText(button->text()) : caption);
}

// The window in one configuration: editing turns buttons 1, 3, 4, 6 and the fields on, the oven types off.
void ExpectConfiguration(editor::frmOpening& w, const char* where, int oven, const char* range, const QString& file) {
    SCOPED_TRACE(where);
    const bool editing = oven >= 0;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(w.cmdBut->Button(i)->isEnabled(), editing || i == 0 || i == 2 || i == 5) << i;
    for (bool on : {w.lstItems->isEnabled(), w.txtName->isEnabled(), w.txtPage->isEnabled(),
                    !w.optOvenType->Button(0)->isEnabled(), !w.optOvenType->Button(1)->isEnabled()})
        EXPECT_EQ(on, editing);
    EXPECT_FALSE(w.txtHoldTemp->isEnabled());
    EXPECT_EQ(w.lblMenuItem->Caption(), editing ? "Page 1\r\nItem 0" : "New Menu\r\nselect oven type");
    EXPECT_EQ(w.lblCookTempRange->Caption(), range);
    EXPECT_EQ(w.Caption(), kTitle + file + " ]");
    EXPECT_EQ(std::tuple(w.DetermineOvenType(), w.lstItems->ListCount(), w.lstItems->ListIndex()),
              std::tuple(oven, editor::kListLineCount, editing ? 1 : -1));
    EXPECT_FALSE(ovn::Shared().ItemChanged || ovn::Shared().IgnoreListClick);
}

TEST_F(EditorTest, EveryControlInPlaceInTabOrderThroughASessionOfAllConfigurations) {
    EXPECT_EQ(W().size(), QSize(ui::TwipsToPixels(11115), ui::TwipsToPixels(6780)));
    for (const auto& [name, left, top, width, height, looks] : kLayout) {
        QWidget* widget = Child(W(), name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), ui::ToPixels({left, top, width, height})) << name;
        EXPECT_EQ(Looks(widget), looks) << name;
        EXPECT_TRUE(looks[3] == 0 || ui::CaptionFits(widget)) << "clipped caption of " << name;
    }
    EXPECT_TRUE(QFontInfo(W().lstItems->font()).fixedPitch());
    for (const char* line : {"Line1", "Line2", "Line3", "Line4", "Line5"}) EXPECT_TRUE(W().findChild<ui::Line*>(line));
    ExpectConfiguration(W(), "load", -1, "", "New Menu");
    EXPECT_EQ(W().cboPowerLevel->ListIndex(), -1);
    EXPECT_NEAR(W().LeftTwips(), ui::Form::ScreenWidthTwips() / 2 - W().WidthTwips() / 2, ui::kTwipsPerPixel);
    EXPECT_NEAR(W().TopTwips(), ui::Form::ScreenHeightTwips() / 2 - W().HeightTwips() / 2, ui::kTwipsPerPixel);
    ChooseOven(0);
    ExpectConfiguration(W(), "gas", 0, "F \r\n200 to 500", "New Menu");
    EXPECT_EQ(W().lblCookTimRange->Caption() + W().lblHoldTempRange->Caption(), "HH:MM\r\n00:00 to 18:00F 100 to 200");
    EXPECT_EQ(W().cboPowerLevel->itemText(10) + W().cboFanSpeed->itemText(2), "0OFF");
    EXPECT_EQ(Fields(), "|325|100|00|10|HIGH|0|160");  // slot 0
    SetRoastNHold(true);  // opens the hold temperature for the tab order; txtItem is its last: Tab goes round
    W().txtItem->setFocus();
    for (const auto& row : kLayout) {
        QWidget* widget = Child(W(), std::get<0>(row));
        if (!widget->isEnabled() || !(widget->focusPolicy() & Qt::TabFocus)) continue;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), widget) << std::get<0>(row);
    }
    SetRoastNHold(false).Save("GASMENU1");
    Expect(kYes).Click("cmdBut(5)");
    ExpectConfiguration(W(), "new menu", -1, "", "New Menu");
    ChooseOven(1);
    ExpectConfiguration(W(), "electric", 1, "F \r\n200 - 600", "New Menu");
    for (const char* where : {"gas menu read", "read again"}) {
        Read("GASMENU1.ovn");
        ExpectConfiguration(W(), where, 0, "F \r\n200 to 500", dir_.path() + "/GASMENU1.ovn");
    }
}

TEST_F(EditorTest, ScreenReadersHearEveryControlByItsLabelAndTheOvenTypesAsRadioButtons) {
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {  // control, then role|name|description|labelled by
        {"frmOvenType", "Grouping|Oven Type||"},                     {"lstItems", "List|Current Menu Items||"},
        {"optOvenType(0)", "RadioButton|Gas||Oven Type"},            {"optOvenType(1)", "RadioButton|Electric||Oven Type"},
        {"txtName", "EditableText|Item Name||Item Name"},            {"txtCookTemp", "EditableText|Cook Temp||Cook Temp"},
        {"txtCookTimeHH", "EditableText|Cook Time hours||Cook Time"}, {"cmdBut(2)", "Button|Get Menu from File||"},
        {"txtCookTimeMM", "EditableText|Cook Time minutes||MM"},
        {"cboPowerLevel", "ComboBox|100|Power Level|Power Level"},   {"cboFanSpeed", "ComboBox|HIGH|Fan Speed|Fan Speed"},
        {"txtHoldTemp", "EditableText|Hold Temp||Hold Temp"},        {"chkRoastNHold", "CheckBox|Roast & Hold||"},
        {"txtPage", "EditableText|Page||Page"},                      {"txtItem", "EditableText|Item||Item"},
    };
    // clang-format on
    ChooseOven(1);
    for (const auto& [name, spoken] : rows) EXPECT_EQ(testsupport::Spoken(Child(W(), name)), spoken) << name;
    QAccessibleInterface* gas = QAccessible::queryAccessibleInterface(W().optOvenType->Button(0));
    EXPECT_EQ(gas->parent()->text(QAccessible::Name), "Oven Type");
    EXPECT_EQ(std::pair(gas->state().checkable, gas->state().checked), std::pair(1ULL, 0ULL));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(W().optOvenType->Button(1))->state().checked, 1ULL);
    EXPECT_EQ(testsupport::Spoken(&W()).substr(0, 7), "Window|");
}

TEST_F(EditorTest, SaveItemPaintsTheBadBoxesRed) {
    // clang-format off
    const QString HH = "txtCookTimeHH", MM = "txtCookTimeMM", TEMP = "txtCookTemp", HOLD = "txtHoldTemp";
    // label, oven, cook temp, hours, minutes, hold ("": unticked; "~...": typed, then unticked), boxes left red
    const std::tuple<const char*, int, const char*, const char*, const char*, const char*, QStringList> rows[] = {
        {"gas500", 0, "500", "18", "00", "", {}},                {"gas501", 0, "501", "01", "00", "", {TEMP}},
        {"electric600", 1, "600", "01", "00", "", {}},           {"electric601", 1, "601", "01", "00", "", {TEMP}},
        {"holdNotTicked", 0, "300", "01", "00", "~999", {}},     {"hold99", 0, "300", "01", "00", "99", {HOLD}},
        {"time0060", 0, "300", "00", "60", "", {MM}},            {"hoursEmpty", 0, "300", "", "0130", "", {HH, MM}},
        {"oneDigitBoxesPadded", 0, "300", "1", "5", "", {}},
        {"severalAtOnce", 0, "100", "19", "00", "300", {TEMP, HH, HOLD}}};
    // clang-format on
    for (const auto& [label, oven, cookTemp, hours, minutes, hold, red] : rows) {
        SCOPED_TRACE(label);
        OpenWindow(oven);
        SetBox(W().txtCookTemp, "99").Expect(kOk).Click("cmdBut(3)");  // a red box from an earlier validation
        SetItemBoxes({"TEST", cookTemp, hours, minutes}).SetRoastNHold(*hold);
        if (*hold) SetBox(W().txtHoldTemp, hold + (hold[0] == '~'));
        if (hold[0] == '~') SetRoastNHold(false);
        Expect(kOk, kInvalidEntries, !red.isEmpty()).Click("cmdBut(3)");  // leaving the minutes box pads it first
        for (ui::TextBox* box : {W().txtName, W().txtCookTemp, W().txtCookTimeHH, W().txtCookTimeMM, W().txtHoldTemp})
            EXPECT_EQ(IsRed(box), red.contains(box->objectName())) << box->objectName().toStdString();
        EXPECT_EQ(ovn::Shared().MenuItems[0].Name, red.isEmpty() ? "TEST" : "");
        EXPECT_EQ(ovn::Shared().ItemChanged, !red.isEmpty());
    }
}

TEST_F(EditorTest, KeysAreFilteredWithNoWayAroundThemAndTimesArePadded) {
    ChooseOven(0);
    // clang-format off
    // box, typed, shown once the focus has left it, marks the item changed
    const std::tuple<const char*, const char*, const char*, bool> keys[] = {
        {"txtName", "roast 1!", "ROAST 1!", true},  {"txtName", "ABCDEFGHIJ", "ABCDEFGH", true},
        {"txtCookTemp", "3a5-.0", "350", true},     {"txtHoldTemp", "x", "", true},
        {"txtCookTimeHH", "1+", "01", true},        {"txtCookTimeMM", "e5", "05", true},
        {"txtCookTimeHH", "12", "12", true},        {"txtCookTimeMM", "12", "12", true},
        {"txtCookTimeHH", "0", "00", true},         {"txtCookTimeMM", "0", "00", true},
        {"txtCookTimeHH", "", "", false},           {"txtCookTimeMM", "", "", false},
        {"txtPage", "1x", "1", false},              {"txtItem", "9", "9", false}};
    // clang-format on
    SetRoastNHold(true);
    for (const auto& [name, typed, shown, marks] : keys) {
        auto* box = Child<ui::TextBox>(W(), name);
        SetBox(box, "");
        ovn::Shared().ItemChanged = false;
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Tab);  // leaving a time box pads it
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
    SetBox(W().txtHoldTemp, "150").SetRoastNHold(false);
    EXPECT_FALSE(W().txtHoldTemp->isEnabled() || W().lblHoldTemp->isEnabled());
    ovn::Shared().ItemChanged = false;
    SetRoastNHold(true);  // opens it again, keeping what it holds
    EXPECT_TRUE(ovn::Shared().ItemChanged && W().lblHoldTemp->isEnabled() && W().txtHoldTemp->Text() == "150");
    ovn::Shared().ItemChanged = false;
    QTest::keyClicks(W().cboFanSpeed, "O");
    EXPECT_TRUE(ovn::Shared().ItemChanged);
}

TEST_F(EditorTest, ListLinesAndSelectionByMouseAndKeyboard) {
    for (int line = 0; line < 110; ++line)
        EXPECT_EQ(W().lstItems->List(line),
                  line % 11 ? QString::number(line % 11 - 1) : QString("> Page %1").arg(line / 11 + 1));
    ovn::Shared().MenuItems[1] = {"", "", "", "0010", "", "55", 0};  // as read from a damaged file
    ovn::Shared().MenuItems[10].Name = "BREAD";
    ChooseOven(0);
    QTest::keyClick(W().lstItems, Qt::Key_Down);
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, 1);
    EXPECT_EQ(W().cboFanSpeed->ListIndex() + W().cboPowerLevel->ListIndex(), -2) << "no entry for unknown values";
    ClickLine(12);
    EXPECT_EQ(std::tuple(W().lblMenuItem->Caption(), W().txtName->Text()),
              std::tuple(QString("Page 2\r\nItem 0"), QString("BREAD")));
    QTest::keyClick(W().lstItems, Qt::Key_Up);  // the page line of page 2
    EXPECT_EQ(std::tuple(W().lblMenuItem->Caption(), W().txtName->isEnabled()), std::tuple(QString("Page 2"), false));
    EXPECT_EQ(std::tuple(ovn::Shared().CurrentListIndex, ovn::Shared().CurrentItemIndex), std::tuple(11, -1));
    QTest::keyClick(W().lstItems, Qt::Key_End);
    EXPECT_EQ(std::tuple(W().lblMenuItem->Caption(), ovn::Shared().CurrentItemIndex),
              std::tuple(QString("Page 10\r\nItem 9"), 99));
    EXPECT_FALSE(ovn::Shared().ItemChanged);
}

TEST_F(EditorTest, LeavingAChangedItemAsksAndFollowsTheAnswer) {
    // clang-format off
    // label, cook temp typed into slot 0, answer, line clicked (-1: the Down key), the new line loaded, slot 0 stored
    const std::tuple<const char*, const char*, int, int, bool, bool> rows[] = {
        {"yesValid", "300", kYes, 3, true, true},         {"yesValidByKey", "300", kYes, -1, true, true},
        {"yesInvalid", "100", kYes, 3, false, false},     {"yesInvalidByKey", "100", kYes, -1, false, false},
        {"no", "300", kNo, 3, true, false},               {"noByKey", "300", kNo, -1, true, false},
        {"cancel", "300", kCancel, 3, false, false},      {"cancelByKey", "300", kCancel, -1, false, false},
        {"cancelOnTheSameLine", "300", kCancel, 1, false, false}};
    // clang-format on
    const Message question{18, kYellow, "\r\nYou are changing Menu Items.\r\nDo you want to save Item 1 information?"};
    for (const auto& [label, cookTemp, answer, line, moves, stored] : rows) {
        SCOPED_TRACE(label);
        const bool rejected = answer == kYes && !stored;
        OpenWindow(0);
        SetItemBoxes({"PIE", cookTemp}).Expect(answer, question).Expect(kOk, kInvalidEntries, rejected);
        line < 0 ? QTest::keyClick(W().lstItems, Qt::Key_Down) : ClickLine(line);
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
                           0,    0,    0, 0, 0x18, 0x15, 0x5E, 0x85, 0x41, 0x01, 0, 0};

Bytes MenuImage(std::initializer_list<int> roastSlots, std::uint8_t oven = 0) {  // default slots, ROAST in those
    Bytes image(ovn::kImageSize, 0);
    image[5] = oven;
    for (int slot = 0; slot < ovn::kSlotCount; ++slot)
        std::ranges::copy(std::ranges::count(roastSlots, slot) ? kRoastBlock : kDefaultBlock,
                          image.begin() + 8 + 24 * slot);
    const std::uint32_t sum = ovn::CalculateByteSum(std::span<const std::uint8_t>(image.data() + 4, 2404));
    for (int i = 0; i < 4; ++i) image[i] = static_cast<std::uint8_t>(sum >> (8 * i));
    return image;
}
Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::string& path, const Bytes& bytes) {
    ASSERT_TRUE(
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes)));
}

TEST_F(EditorTest, RoastMenuToFileAndBackThenDamagedFilesAreNamed) {
    ChooseOven(0);
    SetItemBoxes({"roast", "350", "01", "30"});
    QTest::keyClicks(W().cboPowerLevel, "8");
    QTest::keyClicks(W().cboFanSpeed, "L");
    SetRoastNHold(true).SetBox(W().txtHoldTemp, "160").Save("ROASTMNU");  // stores the item, then writes
    EXPECT_EQ(ReadFile(FilePath("ROASTMNU.ovn")), MenuImage({0}));
    OpenWindow();
    Read("ROASTMNU.ovn");
    EXPECT_EQ(Fields(), "ROAST|350|80|01|30|LOW|1|160");
    Expect(kOk).CopyTo("10", "9");
    EXPECT_EQ(W().lstItems->List(109), "9   ROAST");
    Save("ROASTMN2");
    EXPECT_EQ(ReadFile(FilePath("ROASTMN2.ovn")), MenuImage({0, 99}));

    const std::size_t size = ovn::kImageSize;  // label, length, bytes flipped, notice
    const std::vector<int> slot50 = {8 + 24 * 50 + 18};
    const std::vector<int> slots23And40And77 = {8 + 24 * 77, 8 + 24 * 23 + 4, 8 + 24 * 40};
    const Message slot50Named = Damaged("First bad item: page 6 item 0.");
    // clang-format off
    const std::tuple<const char*, std::size_t, std::vector<int>, Message> damages[] = {
        {"intact", size, {}, {}},         {"blockCrc", size, slot50, slot50Named},
        {"short", 2000, {}, kIncomplete}, {"shortByOne", size - 1, {}, kIncomplete},
        {"longIntact", size + 1, {}, {}}, {"longDamaged", size + 100, slot50, slot50Named},
        {"threeBlocks", size, slots23And40And77, Damaged("First bad item: page 3 item 3 (and 2 more).")},
        {"byteSumOnly", size, {0}, Damaged("The byte sum is wrong.")},
    };
    // clang-format on
    for (int slot = 1; const auto& [label, length, flipped, expected] : damages) {  // ROAST in another slot each
        SCOPED_TRACE(label);
        Bytes bytes = MenuImage({slot}, 1);
        bytes.resize(length);
        for (const int offset : flipped) bytes[offset] ^= 1;
        WriteFile(FilePath("DAMAGED.ovn"), bytes);
        Read("DAMAGED.ovn", expected);
        EXPECT_EQ(W().DetermineOvenType(), ovn::kElectricOven);
        EXPECT_EQ(W().lstItems->List(slot + 1), QString::number(slot) + "   ROAST");
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
        OpenWindow(oven);
        W().onClosed = [&ended] { ended = true; };
        ended = false;
        Expect(answer, question, oven >= 0);
        closeBox ? (void)W().close() : Click("cmdBut(0)");
        EXPECT_EQ(std::tuple(W().isVisible(), ended), std::tuple(answer == kNo, answer != kNo));
    }
}

TEST_F(EditorTest, AnswersOtherThanYesAndFailedReadsAndSavesChangeNothing) {
    ChooseOven(1);
    SetBox(W().txtName, "KEEP").Save("KEPTMENU");
    const std::string vanished = FilePath("VANISHED.ovn"), kept = FilePath("KEPTMENU.ovn");
    WriteFile(vanished, MenuImage({}));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("ISAFOLDR.ovn"));  // a directory where the file would go
    const auto items = ovn::Shared().MenuItems;
    for (auto [button, text] :
         {std::pair{"cmdBut(2)", "ALL Current Menu Information\r\nwill be deleted. Do you want to continue ?"},
          {"cmdBut(4)", "Are you sure you want to\r\nclear ALL Item information ?"},
          {"cmdBut(5)", "Are you sure you want to\r\nclear ALL Menu information ?"}}) {
        Expect(kNo, Message(17, kYellow, std::string("\r\n") + text)).Click(button);
    }
    Read("cancel");
    Save("cancel");  // nothing changed: straight to the chooser
    std::string readError, saveError;
    Expect(kYes).ExpectChooser("VANISHED.ovn", [vanished] { QFile::remove(ui::FromPath(vanished)); });
    testsupport::ExpectErrorBox(*script_, &readError);
    Click("cmdBut(2)");
    ExpectChooser("ISAFOLDR");
    testsupport::ExpectErrorBox(*script_, &saveError);
    EXPECT_FALSE(W().MenuToFile());
    EXPECT_EQ(readError, "MenuGet : " + vanished + "\nNo such file or directory");
    EXPECT_EQ(saveError, "MenuSave : " + FilePath("ISAFOLDR.ovn") + "\nIs a directory");
    SetBox(W().txtCookTemp, "100").Expect(kOk, kInvalidEntries).Click("cmdBut(1)");  // changed, invalid: no chooser
    EXPECT_EQ(ovn::Shared().MenuItems, items);
    EXPECT_EQ(ovn::Shared().MenuFileName, kept);
    EXPECT_EQ(W().Caption(), kTitle + ui::FromPath(kept) + " ]");
    EXPECT_EQ(std::tuple(W().txtName->Text(), W().DetermineOvenType(), ovn::Shared().CurrentListIndex),
              std::tuple(QString("KEEP"), ovn::kElectricOven, 1));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"KEPTMENU.ovn"});
}

TEST_F(EditorTest, AFileNamedOnTheCommandLineIsReadAsAChosenOneOverTheShownWindow) {  // ovenmenu FILE
    Bytes damaged = MenuImage({3});
    damaged[8 + 24 * 3 + 18] ^= 1;
    WriteFile(FilePath("GOOD.ovn"), MenuImage({2}, 1));
    WriteFile(FilePath("DAMAGED.OVN"), damaged);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("ISAFOLDR.ovn"));
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    // label, argument, the file it names, oven read (-1: none, a new menu stays), slot with ROAST
    const std::tuple<const char*, std::string, const char*, int, int> rows[] = {
        {"good", FilePath("GOOD.ovn"), "GOOD.ovn", ovn::kElectricOven, 2},
        {"damagedRelative", "DAMAGED.OVN", "DAMAGED.OVN", ovn::kGasOven, 3},
        {"missing", "./NOSUCH.ovn", "NOSUCH.ovn", -1, -1},
        {"directory", "ISAFOLDR.ovn", "ISAFOLDR.ovn", -1, -1}};
    for (const auto& [label, argument, name, oven, slot] : rows) {
        SCOPED_TRACE(label);
        OpenWindow();
        std::string error;
        if (oven < 0) testsupport::ExpectErrorBox(*script_, &error);
        Expect(kOk, Damaged("First bad item: page 1 item 3."), slot == 3);
        EXPECT_EQ(editor::OpenMenuFileArgument(W(), argument), oven >= 0);
        EXPECT_TRUE(W().isVisible());
        if (oven < 0) {
            ExpectConfiguration(W(), label, -1, "", "New Menu");
            EXPECT_TRUE(error.starts_with("MenuGet : " + FilePath(name))) << error;
            continue;
        }
        ExpectConfiguration(W(), label, oven, oven == ovn::kGasOven ? "F \r\n200 to 500" : "F \r\n200 - 600",
                            ui::FromPath(FilePath(name)));
        EXPECT_EQ(W().lstItems->List(slot + 1), QString::number(slot) + "   ROAST");
    }
    QDir::setCurrent(cwd);
}

TEST_F(EditorTest, CopyToCopiesOrTellsAndStoresUnsavedEditsAndClearItemSkipsAPageLine) {
    ChooseOven(0);
    SetBox(W().txtName, "SRC").Click("cmdBut(3)");
    // clang-format off
    const std::string kMissing = "\r\nMissing 'Copy To' information.", kInvalid = "\r\nInvalid 'Copy To' information.";
    // label, page, item, message, slot
    const std::tuple<const char*, const char*, const char*, std::string, int> rows[] = {
        {"pageMissing", "", "1", kMissing, -1},              {"itemMissing", "1", "", kMissing, -1},
        {"page0", "0", "1", kInvalid, -1},                   {"page11", "11", "0", kInvalid, -1},
        {"item10", "1", "10", kInvalid, -1},                 {"pageBeyond16Bits", "65537", "1", kInvalid, -1},
        {"itemBeyond16Bits", "1", "65536", kInvalid, -1},    {"sameSlot", "1", "0", "", -1},
        {"page1Item5", "01", "5", "\r\nItem copy complete.", 5}};
    // clang-format on
    for (const auto& [label, page, item, message, target] : rows) {
        SCOPED_TRACE(label);
        Expect(kOk, Message(16, kYellow, message), !message.empty()).CopyTo(page, item);
        for (int slot = 1; slot < 100; ++slot)
            EXPECT_EQ(ovn::Shared().MenuItems[slot].Name, slot == target ? "SRC" : "") << slot;
        EXPECT_EQ(W().txtPage->Text(), target >= 0 || message.empty() ? "" : page);
        EXPECT_EQ(ovn::Shared().CurrentListIndex, 1);
    }
    auto& items = ovn::Shared().MenuItems;
    items[9].Name = "LAST";
    SetBox(W().txtName, "NEW").Expect(kOk).CopyTo("2", "0");
    EXPECT_EQ(items[0].Name + items[10].Name, "NEWNEW");
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    SetBox(W().txtCookTemp, "100").Expect(kOk, kInvalidEntries).CopyTo("3", "0");
    EXPECT_TRUE(items[20] == ovn::DefaultItem() && IsRed(W().txtCookTemp));
    Expect(kYes).Click("cmdBut(4)");
    EXPECT_EQ(items[0], ovn::DefaultItem());
    EXPECT_EQ(std::tuple(W().lstItems->List(1), W().txtCookTemp->Text()), std::tuple(QString("0   "), QString("325")));
    EXPECT_FALSE(IsRed(W().txtCookTemp) || ovn::Shared().ItemChanged);
    ClickLine(11);       // page 2, whose line would give slot 9
    Click("cmdBut(4)");  // asks nothing, clears nothing
    Expect(kOk, kInvalidEntries).Click("cmdBut(3)");
    Expect(kOk, Message(16, kYellow, "\r\nCan not copy 'Page'.")).CopyTo("3", "3");
    EXPECT_EQ(W().lstItems->List(11), "> Page 2");
    EXPECT_EQ(items[9].Name + items[10].Name + items[30].Name, "LASTNEW");
}

TEST_F(EditorTest, StartupFailureShowsOnceAndOpensNoWindow) {
    const QByteArray home = qgetenv("HOME");
    WriteFile(FilePath("plainfile"), {1});
    qputenv("HOME", ui::FromPath(FilePath("plainfile") + "/home").toLocal8Bit());  // a file as parent
    std::unique_ptr<editor::frmOpening> window;
    Message seen;
    testsupport::ExpectMessage(*script_, kOk, &seen);
    EXPECT_FALSE(editor::RunEditorStartup(window) || window);
    std::get<2>(seen).resize(24);  // what follows "#" names the failing step and its cause
    EXPECT_EQ(seen, Message(0, kRed, "\r\nInitialization Error #"));
    qputenv("HOME", dir_.path().toLocal8Bit());
    EXPECT_TRUE(editor::RunEditorStartup(window));
    qputenv("HOME", home);
    EXPECT_TRUE(window && window->isVisible());
    EXPECT_EQ(ovn::Shared().MenuDirectory, FilePath("OVENS"));
}

// Undo and redo of menu changes by their keys: the menu saved before and after a change comes back to the byte.
using UndoTest = EditorTest;
const QKeyCombination kUndo = Qt::CTRL | Qt::Key_Z;
const QKeyCombination kRedo = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
const QKeyCombination kRedoByY = Qt::CTRL | Qt::Key_Y;
void Press(QKeyCombination keys, QWidget* focus) {
    focus->setFocus();
    QTest::keyClick(focus, keys.key(), keys.keyboardModifiers());
}

TEST_F(UndoTest, EachKindOfMenuChangeIsUndoneAndRedoneToTheByte) {
    Bytes other = MenuImage({7}, 1);
    other[ovn::kTrailingByte] = 0x5A;  // the read is undone to the 0 of BASE
    WriteFile(FilePath("BASE.ovn"), MenuImage({0, 5}));
    WriteFile(FilePath("OTHER.ovn"), other);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"saveItem", [this] { SetBox(W().txtName, "PIE").Click("cmdBut(3)"); }},
        {"yesOnLeavingTheItem", [this] { SetBox(W().txtName, "PIE").Expect(kYes).ClickLine(3); }},
        {"storeBySaveMenuToFile", [this] { SetBox(W().txtName, "PIE"); }},
        {"clearItem", [this] { Expect(kYes).Click("cmdBut(4)"); }},
        {"copyToWithItsStore", [this] { SetBox(W().txtName, "PIE").Expect(kOk).CopyTo("2", "3"); }},
        {"newMenuThenElectric", [this] {
             Expect(kYes).Click("cmdBut(5)");
             ChooseOven(1);
         }},
        {"getMenuFromFile", [this] { Read("OTHER.ovn"); }},
    };
    for (const auto& [label, change] : changes) {
        SCOPED_TRACE(label);
        OpenWindow();
        Read("BASE.ovn");
        SetBox(W().txtCookTemp, "0350").Click("cmdBut(3)");  // a stored text an image would give back as "350"
        Save("FIRSTMNU");
        const auto items = ovn::Shared().MenuItems;
        change();
        Save("CHANGED1");
        Press(kUndo, W().lstItems);
        EXPECT_EQ(ovn::Shared().MenuItems, items);
        EXPECT_EQ(W().Caption(), kTitle + ui::FromPath(FilePath("FIRSTMNU.ovn")) + " ]");
        Save("UNDONE01");
        Press(kRedo, W().lstItems);
        Save("REDONE01");
        EXPECT_EQ(ReadFile(FilePath("UNDONE01.ovn")), ReadFile(FilePath("FIRSTMNU.ovn")));
        EXPECT_EQ(ReadFile(FilePath("REDONE01.ovn")), ReadFile(FilePath("CHANGED1.ovn")));
    }
}

TEST_F(UndoTest, UnsavedEditsGoFirstAsTheyStoodBeforeTheKeyInAnItemBoxMarkedTheItem) {
    ChooseOven(0);
    SetBox(W().txtName, "PIE").Click("cmdBut(3)");
    SetItemBoxes({"CAKE", "100"}).Expect(kOk, kInvalidEntries).Click("cmdBut(3)");
    Press(kUndo, W().txtName);  // only the fields come back, none red
    EXPECT_EQ(Fields(), "PIE|325|100|00|10|HIGH|0|160");
    EXPECT_FALSE(IsRed(W().txtCookTemp) || ovn::Shared().ItemChanged);
    ClickLine(3);  // no question: nothing is left unsaved
    Press(kUndo, W().txtName);  // the item had no edits: "Save Item" is undone
    EXPECT_EQ(std::tuple(W().lstItems->List(1), ovn::Shared().ItemChanged), std::tuple(QString("0"), false));
}

TEST_F(UndoTest, AHundredStepsAreKeptAndANewChangeDropsTheRedo) {
    ChooseOven(0);
    for (int step = 1; step <= 101; ++step) SetBox(W().txtName, QString("I%1").arg(step)).Click("cmdBut(3)");
    for (int step = 1; step <= 101; ++step) Press(kUndo, W().lstItems);  // the last finds nothing: no dialog
    EXPECT_EQ(W().lstItems->List(1), "0   I1");
    SetBox(W().txtName, "NEW").Click("cmdBut(3)");
    Press(kRedoByY, W().lstItems);
    EXPECT_EQ(W().lstItems->List(1), "0   NEW");
}

TEST_F(UndoTest, UndoingTheFirstReadGivesBackTheNewMenuWaitingForAnOvenType) {
    WriteFile(FilePath("GOOD.ovn"), MenuImage({2}, 1));
    Read("GOOD.ovn");
    Press(kUndo, W().cmdBut->Button(editor::kNewMenu));
    ExpectConfiguration(W(), "undone", -1, "", "New Menu");
    Press(kRedoByY, W().cmdBut->Button(editor::kNewMenu));
    ExpectConfiguration(W(), "redone", 1, "F \r\n200 - 600", ui::FromPath(FilePath("GOOD.ovn")));
}

}  // namespace

// Ctrl+P in an item box: the key marks the item changed, and the print dialog
// prints the menu as stored (not the unsaved name on screen) through Qt's PDF printer.
TEST_F(EditorTest, CtrlPPrintsTheStoredMenuThroughThePrintDialogToAPdf) {
    ChooseOven(1);
    SetItemBoxes({"roast", "350", "01", "30"}).Click("cmdBut(3)");
    SetBox(W().txtName, "unsaved");
    const QString pdf = dir_.path() + "/card.pdf";
    script_->Expect(ui::kPrintDialogName, [&](QWidget& dialog) {
        auto* printers = Child<QComboBox>(dialog, "printers");
        printers->setCurrentIndex(printers->findText("Print to File (PDF)"));
        auto* fileName = Child<QLineEdit>(dialog, "filename");
        fileName->clear();
        QTest::keyClicks(fileName, pdf);
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::keyClick(W().txtName, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(ovn::Shared().ItemChanged);

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished()) << "pdftotext (poppler-utils) is needed";
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression(R"(\n +0 ROAST +350 +100 +01:30 +HIGH )"))) << text.toStdString();
    EXPECT_TRUE(text.startsWith("New Menu\nOven: Electric"));
    EXPECT_FALSE(text.contains("UNSAVED"));
}
