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
#include "menufile/ImageCodec.h"
#include "model/MenuModel.h"
#include "ovn/Version.h"
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
const QString kTitle = QString("R5800 Menu Editor V%1    [ ").arg(ovn::kVersion);
// The controls Tab reaches while an item is edited with Roast & Hold ticked, in their order.
const char* const kTabOrder[] = {"cmdBut(5)",     "lstItems",      "txtName",     "txtCookTemp",   "cboPowerLevel",
                                 "txtCookTimeHH", "txtCookTimeMM", "cboFanSpeed", "chkRoastNHold", "txtHoldTemp",
                                 "cmdBut(3)",     "cmdBut(4)",     "cmdBut(1)",   "cmdBut(2)",     "cmdBut(0)",
                                 "cmdBut(6)",     "txtPage",       "txtItem"};

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
    editor::frmOpening& Window() { return *window_; }
    std::string FilePath(const QString& name) const { return ui::ToPath(dir_.path() + "/" + name); }
    void Click(const QString& name) { testsupport::ClickButton(Window(), name); }
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
            if (!std::get<2>(shown).empty()) {
                EXPECT_EQ(seen, shown);
            }
            // Questions and notices stand on the editor window's centre.
            EXPECT_EQ(QPoint(values.FormCenterX, values.FormCenterY), Window().CenterTwips());
            testsupport::ClickButton(box, QString("cmdBut(%1)").arg(answer));
        });
        return *this;
    }
    void ClickLine(int line) {
        Window().lstItems->scrollToItem(Window().lstItems->item(line));
        QTest::mouseClick(Window().lstItems->viewport(), Qt::LeftButton, {},
                          Window().lstItems->visualItemRect(Window().lstItems->item(line)).center());
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
        ui::TextBox* const boxes[] = {Window().txtName, Window().txtCookTemp, Window().txtCookTimeHH,
                                      Window().txtCookTimeMM};
        for (int i = 0; i < texts.size(); ++i) SetBox(boxes[i], texts[i]);
        return *this;
    }
    EditorTest& SetRoastNHold(bool on) {
        if ((Window().chkRoastNHold->Value() == 1) != on) QTest::keyClick(Window().chkRoastNHold, Qt::Key_Space);
        return *this;
    }
    void CopyTo(const QString& page, const QString& item) {
        SetBox(Window().txtPage, page).SetBox(Window().txtItem, item).Click("cmdBut(6)");
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
        return Window().txtName->Text() + '|' + Window().txtCookTemp->Text() + '|' + Window().cboPowerLevel->Text() +
               '|' + Window().txtCookTimeHH->Text() + '|' + Window().txtCookTimeMM->Text() + '|' +
               Window().cboFanSpeed->Text() + '|' + QString::number(Window().chkRoastNHold->Value()) + '|' +
               Window().txtHoldTemp->Text();
    }
    QTemporaryDir dir_;
    std::unique_ptr<ui::ModalScript> script_ = testsupport::MakeScript();  // reports unused answers, after the window
    std::unique_ptr<editor::frmOpening> window_;
};

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
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    EXPECT_FALSE(ovn::Shared().IgnoreListClick);
}

// The controls of the window and of its two frames, the frames among them.
QList<QWidget*> Controls(editor::frmOpening& window) {
    QList<QWidget*> controls;
    for (QWidget* parent : {static_cast<QWidget*>(&window), window.findChild<QWidget*>("frmOvenType"),
                            window.findChild<QWidget*>("frmRoastNHold")}) {
        for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->objectName().isEmpty() && !qobject_cast<ui::Line*>(child)) controls.append(child);
        }
    }
    return controls;
}

TEST_F(EditorTest, EveryControlSitsInsideItsWindowOrFrameCoversNoOtherAndShowsItsWholeCaption) {
    EXPECT_EQ(Window().size(), QSize(ui::TwipsToPixels(11115), ui::TwipsToPixels(6780)));
    const QList<QWidget*> controls = Controls(Window());
    EXPECT_EQ(controls.size(), 39);
    for (QWidget* control : controls) {
        const std::string name = control->objectName().toStdString();
        EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << name;
        EXPECT_TRUE(ui::CaptionFits(control)) << "clipped caption of " << name;
        for (QWidget* other : controls) {  // a label and its box may share one pixel's edge, as the twips give it
            const bool siblings = other != control && other->parentWidget() == control->parentWidget();
            const QRect shared = control->geometry().intersected(other->geometry());
            EXPECT_FALSE(siblings && shared.width() > 1 && shared.height() > 1)
                << name << " covers " << other->objectName().toStdString();
        }
    }
    EXPECT_TRUE(QFontInfo(Window().lstItems->font()).fixedPitch());
    const int centredLeft = ui::Form::ScreenWidthTwips() / 2 - Window().WidthTwips() / 2;
    const int centredTop = ui::Form::ScreenHeightTwips() / 2 - Window().HeightTwips() / 2;
    EXPECT_NEAR(Window().LeftTwips(), centredLeft, ui::kTwipsPerPixel);
    EXPECT_NEAR(Window().TopTwips(), centredTop, ui::kTwipsPerPixel);
}

TEST_F(EditorTest, TabGoesRoundTheEnabledControlsInOrder) {
    ChooseOven(0);
    SetRoastNHold(true);           // opens the hold temperature to the Tab key
    Window().txtItem->setFocus();  // the last: Tab goes round to the first
    for (const char* name : kTabOrder) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Child(Window(), name)) << name;
    }
}

TEST_F(EditorTest, AnOvenTypeOpensTheItemForEditingAndNewMenuClosesItAgain) {
    ExpectConfiguration(Window(), "load", -1, "", "New Menu");
    EXPECT_EQ(Window().cboPowerLevel->ListIndex(), -1);
    ChooseOven(0);
    ExpectConfiguration(Window(), "gas", 0, "F \r\n200 to 500", "New Menu");
    EXPECT_EQ(Fields(), "|325|100|00|10|HIGH|0|160");  // slot 0
    Expect(kYes).Click("cmdBut(5)");  // a menu read configures the window as the command-line tests show
    ExpectConfiguration(Window(), "new menu", -1, "", "New Menu");
    ChooseOven(1);
    ExpectConfiguration(Window(), "electric", 1, "F \r\n200 - 600", "New Menu");
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
    for (const auto& [name, spoken] : rows) EXPECT_EQ(testsupport::Spoken(Child(Window(), name)), spoken) << name;
    QAccessibleInterface* gas = QAccessible::queryAccessibleInterface(Window().optOvenType->Button(0));
    EXPECT_EQ(gas->parent()->text(QAccessible::Name), "Oven Type");
    EXPECT_EQ(std::pair(gas->state().checkable, gas->state().checked), std::pair(1ULL, 0ULL));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Window().optOvenType->Button(1))->state().checked, 1ULL);
    EXPECT_EQ(testsupport::Spoken(&Window()).substr(0, 7), "Window|");
}

TEST_F(EditorTest, SaveItemPaintsTheBadBoxesRed) {
    // clang-format off
    const QString HH = "txtCookTimeHH", MM = "txtCookTimeMM", TEMP = "txtCookTemp", HOLD = "txtHoldTemp";
    // label, oven, cook temp, hours, minutes, hold ("": unticked; "~...": typed, then unticked), boxes left red
    const std::tuple<const char*, int, const char*, const char*, const char*, const char*, QStringList> rows[] = {
        {"gas501", 0, "501", "18", "00", "", {TEMP}},            {"electric600", 1, "600", "01", "00", "", {}},
        {"holdNotTicked", 0, "300", "01", "00", "~999", {}},     {"hold99", 0, "300", "01", "00", "99", {HOLD}},
        {"time0060", 0, "300", "00", "60", "", {MM}},            {"hoursEmpty", 0, "300", "", "0130", "", {HH, MM}},
        {"oneDigitBoxesPadded", 0, "300", "1", "5", "", {}},
        {"severalAtOnce", 0, "100", "19", "00", "300", {TEMP, HH, HOLD}}};
    // clang-format on
    for (const auto& [label, oven, cookTemp, hours, minutes, hold, red] : rows) {
        SCOPED_TRACE(label);
        OpenWindow(oven);
        SetBox(Window().txtCookTemp, "99").Expect(kOk).Click("cmdBut(3)");  // a red box from an earlier validation
        SetItemBoxes({"TEST", cookTemp, hours, minutes}).SetRoastNHold(*hold);
        if (*hold) SetBox(Window().txtHoldTemp, hold + (hold[0] == '~'));
        if (hold[0] == '~') SetRoastNHold(false);
        Expect(kOk, kInvalidEntries, !red.isEmpty()).Click("cmdBut(3)");  // leaving the minutes box pads it first
        for (ui::TextBox* box : {Window().txtName, Window().txtCookTemp, Window().txtCookTimeHH, Window().txtCookTimeMM,
                                 Window().txtHoldTemp})
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
        {"txtCookTimeHH", "", "", false},           {"txtCookTimeMM", "", "", false},
        {"txtPage", "1x", "1", false},              {"txtItem", "9", "9", false}};
    // clang-format on
    SetRoastNHold(true);
    for (const auto& [name, typed, shown, marks] : keys) {
        auto* box = Child<ui::TextBox>(Window(), name);
        SetBox(box, "");
        ovn::Shared().ItemChanged = false;
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Tab);  // leaving a time box pads it (the padding itself: the model tests)
        EXPECT_EQ(std::tuple(box->Text(), ovn::Shared().ItemChanged), std::tuple(QString(shown), marks)) << name;
    }
    SetBox(Window().txtHoldTemp, "150").SetRoastNHold(false);
    EXPECT_FALSE(Window().txtHoldTemp->isEnabled());
    EXPECT_FALSE(Window().lblHoldTemp->isEnabled());
    ovn::Shared().ItemChanged = false;
    SetRoastNHold(true);  // opens it again, keeping what it holds
    EXPECT_TRUE(ovn::Shared().ItemChanged);
    EXPECT_TRUE(Window().lblHoldTemp->isEnabled());
    EXPECT_EQ(Window().txtHoldTemp->Text(), "150");
    ovn::Shared().ItemChanged = false;
    QTest::keyClicks(Window().cboFanSpeed, "O");
    EXPECT_TRUE(ovn::Shared().ItemChanged);
}

TEST_F(EditorTest, ListLinesAndSelectionByMouseAndKeyboard) {
    ovn::Shared().MenuItems[1] = {"", "", "", "0010", "", "55", 0};  // as read from a damaged file
    ovn::Shared().MenuItems[10].Name = "BREAD";
    ChooseOven(0);
    QTest::keyClick(Window().lstItems, Qt::Key_Down);
    EXPECT_EQ(ovn::Shared().CurrentItemIndex, 1);
    EXPECT_EQ(Window().cboFanSpeed->ListIndex(), -1) << "no entry for an unknown value";
    EXPECT_EQ(Window().cboPowerLevel->ListIndex(), -1) << "no entry for an unknown value";
    ClickLine(12);
    EXPECT_EQ(std::tuple(Window().lblMenuItem->Caption(), Window().txtName->Text()),
              std::tuple(QString("Page 2\r\nItem 0"), QString("BREAD")));
    QTest::keyClick(Window().lstItems, Qt::Key_Up);  // the page line of page 2
    EXPECT_EQ(std::tuple(Window().lblMenuItem->Caption(), Window().txtName->isEnabled()),
              std::tuple(QString("Page 2"), false));
    EXPECT_EQ(std::tuple(ovn::Shared().CurrentListIndex, ovn::Shared().CurrentItemIndex), std::tuple(11, -1));
    QTest::keyClick(Window().lstItems, Qt::Key_End);
    EXPECT_EQ(std::tuple(Window().lblMenuItem->Caption(), ovn::Shared().CurrentItemIndex),
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
        if (line < 0) {
            QTest::keyClick(Window().lstItems, Qt::Key_Down);
        } else {
            ClickLine(line);
        }
        EXPECT_EQ(IsRed(Window().txtCookTemp), rejected);
        const int current = !moves ? 1 : line < 0 ? 2 : line;
        EXPECT_EQ(std::tuple(ovn::Shared().CurrentListIndex, Window().lstItems->ListIndex()),
                  std::tuple(current, current))
            << "highlight on the line being edited";
        EXPECT_TRUE(Window().lstItems->item(current)->isSelected());
        EXPECT_EQ(std::tuple(ovn::Shared().IgnoreListClick, ovn::Shared().ItemChanged), std::tuple(false, !moves));
        EXPECT_EQ(Window().txtName->Text(), moves ? "" : "PIE");
        EXPECT_EQ(ovn::Shared().MenuItems[0].Name, stored ? "PIE" : "");
        EXPECT_EQ(Window().lstItems->List(1), stored ? "0   PIE" : "0");
    }
}

// A menu of default items with ROAST in `roastSlots`, through the codec whose bytes the menu file tests fix.
Bytes MenuImage(std::initializer_list<int> roastSlots, std::int16_t oven = ovn::kGasOven) {
    ovn::MenuItemTable items;
    items.fill(ovn::DefaultItem());
    for (const int slot : roastSlots) items[slot] = {"ROAST", "350", "160", "0130", "LOW", "80", 1};
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(items, oven, image);
    return Bytes(image.begin(), image.end());
}
Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::string& path, const Bytes& bytes) {
    ASSERT_TRUE(
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes)));
}

TEST_F(EditorTest, RoastMenuToFileAndBackByteForByte) {
    ChooseOven(0);
    SetItemBoxes({"roast", "350", "01", "30"});
    QTest::keyClicks(Window().cboPowerLevel, "8");
    QTest::keyClicks(Window().cboFanSpeed, "L");
    SetRoastNHold(true).SetBox(Window().txtHoldTemp, "160").Save("ROASTMNU");  // stores the item, then writes
    EXPECT_EQ(ReadFile(FilePath("ROASTMNU.ovn")), MenuImage({0}));
    OpenWindow();
    Read("ROASTMNU.ovn");
    EXPECT_EQ(Fields(), "ROAST|350|80|01|30|LOW|1|160");
    Expect(kOk).CopyTo("10", "9");
    EXPECT_EQ(Window().lstItems->List(109), "9   ROAST");
    Save("ROASTMN2");
    EXPECT_EQ(ReadFile(FilePath("ROASTMN2.ovn")), MenuImage({0, 99}));
}

TEST_F(EditorTest, DamagedFilesAreReadWithANoticeNamingWhatIsWrong) {
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
        Bytes bytes = MenuImage({slot}, ovn::kElectricOven);
        bytes.resize(length);
        for (const int offset : flipped) bytes[offset] ^= 1;
        WriteFile(FilePath("DAMAGED.ovn"), bytes);
        Read("DAMAGED.ovn", expected);
        EXPECT_EQ(Window().DetermineOvenType(), ovn::kElectricOven);
        EXPECT_EQ(Window().lstItems->List(slot + 1), QString::number(slot) + "   ROAST");
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
        Window().onClosed = [&ended] { ended = true; };
        ended = false;
        Expect(answer, question, oven >= 0);
        if (closeBox) {
            Window().close();
        } else {
            Click("cmdBut(0)");
        }
        EXPECT_EQ(std::tuple(Window().isVisible(), ended), std::tuple(answer == kNo, answer != kNo));
    }
}

TEST_F(EditorTest, AnswersOtherThanYesAndFailedReadsAndSavesChangeNothing) {
    ChooseOven(1);
    SetBox(Window().txtName, "KEEP").Save("KEPTMENU");
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
    EXPECT_FALSE(Window().MenuToFile());
    EXPECT_EQ(readError, "MenuGet : " + vanished + "\nNo such file or directory");
    EXPECT_EQ(saveError, "MenuSave : " + FilePath("ISAFOLDR.ovn") + "\nIs a directory");
    // Changed and invalid: no chooser.
    SetBox(Window().txtCookTemp, "100").Expect(kOk, kInvalidEntries).Click("cmdBut(1)");
    EXPECT_EQ(ovn::Shared().MenuItems, items);
    EXPECT_EQ(ovn::Shared().MenuFileName, kept);
    EXPECT_EQ(Window().Caption(), kTitle + ui::FromPath(kept) + " ]");
    EXPECT_EQ(std::tuple(Window().txtName->Text(), Window().DetermineOvenType(), ovn::Shared().CurrentListIndex),
              std::tuple(QString("KEEP"), ovn::kElectricOven, 1));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"KEPTMENU.ovn"});
}

TEST_F(EditorTest, AFileNamedOnTheCommandLineIsReadAsAChosenOneOverTheShownWindow) {  // ovenmenu FILE
    Bytes damaged = MenuImage({3});
    damaged[8 + 24 * 3 + 18] ^= 1;
    WriteFile(FilePath("GOOD.ovn"), MenuImage({2}, ovn::kElectricOven));
    WriteFile(FilePath("DAMAGED.OVN"), damaged);
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    // label, argument, the file it names, oven read (-1: none, a new menu stays), slot with ROAST
    const std::tuple<const char*, std::string, const char*, int, int> rows[] = {
        {"good", FilePath("GOOD.ovn"), "GOOD.ovn", ovn::kElectricOven, 2},
        {"damagedRelative", "DAMAGED.OVN", "DAMAGED.OVN", ovn::kGasOven, 3},
        {"missing", "./NOSUCH.ovn", "NOSUCH.ovn", -1, -1}};
    for (const auto& [label, argument, name, oven, slot] : rows) {
        SCOPED_TRACE(label);
        OpenWindow();
        std::string error;
        if (oven < 0) testsupport::ExpectErrorBox(*script_, &error);
        Expect(kOk, Damaged("First bad item: page 1 item 3."), slot == 3);
        EXPECT_EQ(editor::OpenMenuFileArgument(Window(), argument), oven >= 0);
        EXPECT_TRUE(Window().isVisible());
        if (oven < 0) {
            ExpectConfiguration(Window(), label, -1, "", "New Menu");
            EXPECT_TRUE(error.starts_with("MenuGet : " + FilePath(name))) << error;
            continue;
        }
        ExpectConfiguration(Window(), label, oven, oven == ovn::kGasOven ? "F \r\n200 to 500" : "F \r\n200 - 600",
                            ui::FromPath(FilePath(name)));
        EXPECT_EQ(Window().lstItems->List(slot + 1), QString::number(slot) + "   ROAST");
    }
    QDir::setCurrent(cwd);
}

TEST_F(EditorTest, CopyToCopiesOrTellsAndStoresUnsavedEdits) {
    ChooseOven(0);
    SetBox(Window().txtName, "SRC").Click("cmdBut(3)");
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
        EXPECT_EQ(Window().txtPage->Text(), target >= 0 || message.empty() ? "" : page);
        EXPECT_EQ(ovn::Shared().CurrentListIndex, 1);
    }
    auto& items = ovn::Shared().MenuItems;
    SetBox(Window().txtName, "NEW").Expect(kOk).CopyTo("2", "0");
    EXPECT_EQ(items[0].Name, "NEW");
    EXPECT_EQ(items[10].Name, "NEW");
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    SetBox(Window().txtCookTemp, "100").Expect(kOk, kInvalidEntries).CopyTo("3", "0");
    EXPECT_EQ(items[20], ovn::DefaultItem());
    EXPECT_TRUE(IsRed(Window().txtCookTemp));
}

TEST_F(EditorTest, ClearItemResetsTheItemAndItsRedBoxesAndNothingOnAPageLine) {
    ChooseOven(0);
    auto& items = ovn::Shared().MenuItems;
    items[9].Name = "LAST";
    SetBox(Window().txtName, "NEW").Click("cmdBut(3)");
    SetBox(Window().txtCookTemp, "100").Expect(kOk, kInvalidEntries).Click("cmdBut(3)");
    Expect(kYes).Click("cmdBut(4)");
    EXPECT_EQ(items[0], ovn::DefaultItem());
    EXPECT_EQ(std::tuple(Window().lstItems->List(1), Window().txtCookTemp->Text()),
              std::tuple(QString("0   "), QString("325")));
    EXPECT_FALSE(IsRed(Window().txtCookTemp));
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    ClickLine(11);       // page 2, whose line would give slot 9
    Click("cmdBut(4)");  // asks nothing, clears nothing
    Expect(kOk, kInvalidEntries).Click("cmdBut(3)");
    Expect(kOk, Message(16, kYellow, "\r\nCan not copy 'Page'.")).CopyTo("3", "3");
    EXPECT_EQ(Window().lstItems->List(11), "> Page 2");
    EXPECT_EQ(items[9].Name, "LAST");
    EXPECT_EQ(items[30].Name, "");
}

TEST_F(EditorTest, StartupFailureShowsOnceAndOpensNoWindow) {
    const QByteArray home = qgetenv("HOME");
    WriteFile(FilePath("plainfile"), {1});
    qputenv("HOME", ui::FromPath(FilePath("plainfile") + "/home").toLocal8Bit());  // a file as parent
    std::unique_ptr<editor::frmOpening> window;
    Message seen;
    testsupport::ExpectMessage(*script_, kOk, &seen);
    EXPECT_FALSE(editor::RunEditorStartup(window));
    EXPECT_FALSE(window);
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
    Bytes other = MenuImage({7}, ovn::kElectricOven);
    other[ovn::kTrailingByte] = 0x5A;  // the read is undone to the 0 of BASE
    WriteFile(FilePath("BASE.ovn"), MenuImage({0, 5}));
    WriteFile(FilePath("OTHER.ovn"), other);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"saveItem", [this] { SetBox(Window().txtName, "PIE").Click("cmdBut(3)"); }},
        {"yesOnLeavingTheItem", [this] { SetBox(Window().txtName, "PIE").Expect(kYes).ClickLine(3); }},
        {"storeBySaveMenuToFile", [this] { SetBox(Window().txtName, "PIE"); }},
        {"clearItem", [this] { Expect(kYes).Click("cmdBut(4)"); }},
        {"copyToWithItsStore", [this] { SetBox(Window().txtName, "PIE").Expect(kOk).CopyTo("2", "3"); }},
        {"newMenuThenElectric",
         [this] {
             Expect(kYes).Click("cmdBut(5)");
             ChooseOven(1);
         }},
        {"getMenuFromFile", [this] { Read("OTHER.ovn"); }},
    };
    for (const auto& [label, change] : changes) {
        SCOPED_TRACE(label);
        OpenWindow();
        Read("BASE.ovn");
        SetBox(Window().txtCookTemp, "0350").Click("cmdBut(3)");  // a stored text an image would give back as "350"
        Save("FIRSTMNU");
        const auto items = ovn::Shared().MenuItems;
        change();
        Save("CHANGED1");
        Press(kUndo, Window().lstItems);
        EXPECT_EQ(ovn::Shared().MenuItems, items);
        EXPECT_EQ(Window().Caption(), kTitle + ui::FromPath(FilePath("FIRSTMNU.ovn")) + " ]");
        Save("UNDONE01");
        Press(kRedo, Window().lstItems);
        Save("REDONE01");
        EXPECT_EQ(ReadFile(FilePath("UNDONE01.ovn")), ReadFile(FilePath("FIRSTMNU.ovn")));
        EXPECT_EQ(ReadFile(FilePath("REDONE01.ovn")), ReadFile(FilePath("CHANGED1.ovn")));
    }
}

TEST_F(UndoTest, UnsavedEditsGoFirstAsTheyStoodBeforeTheKeyInAnItemBoxMarkedTheItem) {
    ChooseOven(0);
    SetBox(Window().txtName, "PIE").Click("cmdBut(3)");
    SetItemBoxes({"CAKE", "100"}).Expect(kOk, kInvalidEntries).Click("cmdBut(3)");
    Press(kUndo, Window().txtName);  // only the fields come back, none red
    EXPECT_EQ(Fields(), "PIE|325|100|00|10|HIGH|0|160");
    EXPECT_FALSE(IsRed(Window().txtCookTemp));
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    ClickLine(3);                    // no question: nothing is left unsaved
    Press(kUndo, Window().txtName);  // the item had no edits: "Save Item" is undone
    EXPECT_EQ(std::tuple(Window().lstItems->List(1), ovn::Shared().ItemChanged), std::tuple(QString("0"), false));
}

TEST_F(UndoTest, AHundredStepsAreKeptAndANewChangeDropsTheRedo) {
    ChooseOven(0);
    for (int step = 1; step <= 101; ++step) SetBox(Window().txtName, QString("I%1").arg(step)).Click("cmdBut(3)");
    for (int step = 1; step <= 101; ++step) Press(kUndo, Window().lstItems);  // the last finds nothing: no dialog
    EXPECT_EQ(Window().lstItems->List(1), "0   I1");
    SetBox(Window().txtName, "NEW").Click("cmdBut(3)");
    Press(kRedoByY, Window().lstItems);
    EXPECT_EQ(Window().lstItems->List(1), "0   NEW");
}

TEST_F(UndoTest, UndoingTheFirstReadGivesBackTheNewMenuWaitingForAnOvenType) {
    WriteFile(FilePath("GOOD.ovn"), MenuImage({2}, ovn::kElectricOven));
    Read("GOOD.ovn");
    Press(kUndo, Window().cmdBut->Button(editor::kNewMenu));
    ExpectConfiguration(Window(), "undone", -1, "", "New Menu");
    Press(kRedoByY, Window().cmdBut->Button(editor::kNewMenu));
    ExpectConfiguration(Window(), "redone", 1, "F \r\n200 - 600", ui::FromPath(FilePath("GOOD.ovn")));
}

}  // namespace

// Before an oven type is chosen there is no menu to print: no dialog opens (the script expects none).
TEST_F(EditorTest, CtrlPBeforeAnOvenTypeOpensNoPrintDialog) {
    QTest::keyClick(&Window(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(script_->Shown(), 0);
}

// Ctrl+P in an item box: the key marks the item changed, and the print dialog
// prints the menu as stored (not the unsaved name on screen) through Qt's PDF printer.
TEST_F(EditorTest, CtrlPPrintsTheStoredMenuThroughThePrintDialogToAPdf) {
    ChooseOven(1);
    SetItemBoxes({"roast", "350", "01", "30"}).Click("cmdBut(3)");
    SetBox(Window().txtName, "unsaved");
    const QString pdf = dir_.path() + "/card.pdf";
    script_->Expect(ui::kPrintDialogName, [&](QWidget& dialog) {
        auto* printers = Child<QComboBox>(dialog, "printers");
        printers->setCurrentIndex(printers->findText("Print to File (PDF)"));
        auto* fileName = Child<QLineEdit>(dialog, "filename");
        fileName->clear();
        QTest::keyClicks(fileName, pdf);
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::keyClick(Window().txtName, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(ovn::Shared().ItemChanged);

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished()) << "pdftotext (poppler-utils) is needed";
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression(R"(\n +0 ROAST +350 +100 +01:30 +HIGH )"))) << text.toStdString();
    EXPECT_TRUE(text.startsWith("New Menu\nOven: Electric"));
    EXPECT_FALSE(text.contains("UNSAVED"));
}
