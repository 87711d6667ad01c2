// The window as drawn: every control at its place with its caption, the tab
// order, the caption and the configurations a whole session passes through.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QScreen>

#include "EditorFixture.h"
#include "ui/Geometry.h"

namespace editortest {
namespace {

struct LayoutRow {
    const char* name;
    const char* inside;  // parent's objectName
    const char* caption;
    ui::Place place;
    char align;  // 'L', 'R', 'C'
};

const LayoutRow kLayout[] = {
    {"cmdBut(5)", "frmOpening", "New Menu", {180, 180, 2835, 735}, 'L'},
    {"optOvenType(0)", "frmOvenType", "Gas", {120, 360, 915, 315}, 'L'},
    {"optOvenType(1)", "frmOvenType", "Electric", {1260, 360, 1275, 315}, 'L'},
    {"lstItems", "frmOpening", "", {180, 2280, 2775, 4260}, 'L'},
    {"txtName", "frmOpening", "", {5280, 1260, 1875, 480}, 'L'},
    {"txtCookTemp", "frmOpening", "", {5280, 1860, 1275, 480}, 'L'},
    {"cboPowerLevel", "frmOpening", "", {5280, 2460, 1335, 480}, 'L'},
    {"txtCookTimeHH", "frmOpening", "", {5280, 3060, 555, 480}, 'C'},
    {"txtCookTimeMM", "frmOpening", "", {6000, 3060, 555, 480}, 'C'},
    {"cboFanSpeed", "frmOpening", "", {5280, 3900, 1335, 480}, 'L'},
    {"chkRoastNHold", "frmRoastNHold", "Roast & Hold", {120, 0, 1995, 255}, 'L'},
    {"txtHoldTemp", "frmRoastNHold", "", {1800, 360, 1335, 480}, 'L'},
    {"cmdBut(3)", "frmOpening", "Save Item", {8580, 180, 2295, 675}, 'L'},
    {"cmdBut(4)", "frmOpening", "Clear Item", {8580, 1140, 2295, 675}, 'L'},
    {"cmdBut(1)", "frmOpening", "Save Menu to File", {8580, 2160, 2295, 675}, 'L'},
    {"cmdBut(2)", "frmOpening", "Get Menu from File", {8580, 3120, 2295, 675}, 'L'},
    {"cmdBut(0)", "frmOpening", "Quit", {8580, 5940, 2295, 675}, 'L'},
    {"lblItems", "frmOpening", "Current Menu Items", {180, 1920, 2535, 375}, 'L'},
    {"lblMenuItem", "frmOpening", "New Menu\r\nselect oven type", {3480, 180, 4635, 795}, 'C'},
    {"lblCookTemp", "frmOpening", "Cook Temp", {3480, 1905, 1635, 375}, 'R'},
    {"lblPowerLevel", "frmOpening", "Power Level", {3480, 2505, 1635, 375}, 'R'},
    {"lblCookTime", "frmOpening", "Cook Time", {3480, 3105, 1635, 375}, 'R'},
    {"lblName", "frmOpening", "Item Name", {3480, 1305, 1635, 375}, 'R'},
    {"lblFanSpeed", "frmOpening", "Fan Speed", {3480, 3960, 1635, 375}, 'R'},
    {"frmRoastNHold", "frmOpening", "", {3480, 4560, 4635, 1035}, 'L'},
    {"lblHoldTemp", "frmRoastNHold", "Hold Temp", {180, 360, 1455, 375}, 'R'},
    {"frmOvenType", "frmOpening", "Oven Type", {180, 1020, 2835, 795}, 'L'},
    {"lblCookTimeSep1", "frmOpening", ":", {5880, 3120, 75, 375}, 'C'},
    {"lblPowerLevelPer", "frmOpening", "%", {6600, 2520, 315, 375}, 'C'},
    {"lblCookTimeHH", "frmOpening", "HH", {5400, 3540, 315, 255}, 'C'},
    {"lblCookTimeMM", "frmOpening", "MM", {6120, 3540, 315, 255}, 'C'},
    {"lblCookTempRange", "frmOpening", "", {6660, 1860, 1335, 435}, 'L'},
    {"lblCookTimRange", "frmOpening", "", {6660, 3060, 1395, 435}, 'L'},
    {"lblHoldTempRange", "frmRoastNHold", "", {3240, 480, 1275, 255}, 'L'},
    {"cmdBut(6)", "frmOpening", "Copy To", {8580, 4200, 2295, 675}, 'L'},
    {"txtPage", "frmOpening", "", {9360, 4980, 435, 420}, 'C'},
    {"lblPage", "frmOpening", "Page", {8580, 4980, 735, 375}, 'R'},
    {"txtItem", "frmOpening", "", {10440, 4980, 435, 420}, 'C'},
    {"lblItem", "frmOpening", "Item", {9840, 4980, 555, 375}, 'R'},
};

QString ShownCaption(QWidget* widget) {
    if (auto* label = qobject_cast<ui::Label*>(widget)) return label->Caption();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return ui::CaptionText(button->text());
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    if (auto* box = qobject_cast<ui::TextBox*>(widget)) return box->Text();
    return "";
}

Qt::Alignment HorizontalAlignment(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->alignment() & Qt::AlignHorizontal_Mask;
    if (auto* box = qobject_cast<QLineEdit*>(widget)) return box->alignment() & Qt::AlignHorizontal_Mask;
    return Qt::AlignLeft;
}

TEST_F(EditorTest, EveryControlStandsAtItsPlaceWithItsCaption) {
    EXPECT_EQ(W().objectName(), "frmOpening");
    EXPECT_EQ(W().size(), QSize(ui::TwipsToPixels(11115), ui::TwipsToPixels(6780)));
    for (const auto& row : kLayout) {
        SCOPED_TRACE(row.name);
        QWidget* widget = testsupport::Child(W(), row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), row.inside);
        EXPECT_EQ(widget->geometry(), ui::ToPixels(row.place));
        EXPECT_EQ(ShownCaption(widget), row.caption);
        const Qt::Alignment align = row.align == 'R'   ? Qt::AlignRight
                                    : row.align == 'C' ? Qt::AlignHCenter
                                                       : Qt::AlignLeft;
        EXPECT_EQ(HorizontalAlignment(widget), align);
        if (!QString(row.caption).isEmpty()) {
            EXPECT_TRUE(ui::CaptionFits(widget)) << "clipped caption";
        }
    }
    EXPECT_TRUE(QFontInfo(W().lstItems->font()).fixedPitch());
    for (const char* line : {"Line1", "Line2", "Line3", "Line4", "Line5"})
        EXPECT_NE(W().findChild<ui::Line*>(line), nullptr) << line;
}

TEST_F(EditorTest, TabVisitsTheControlsInTheirOrder) {
    W().cmdBut->Button(editor::kNewMenu)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "optOvenType(0)");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // the oven type without a mouse
    ASSERT_EQ(W().DetermineOvenType(), ovn::kGasOven);
    SetRoastNHold(true);
    W().cmdBut->Button(editor::kNewMenu)->setFocus();
    const QStringList expected = {"lstItems",      "txtName",     "txtCookTemp",   "cboPowerLevel", "txtCookTimeHH",
                                  "txtCookTimeMM", "cboFanSpeed", "chkRoastNHold", "txtHoldTemp",   "cmdBut(3)",
                                  "cmdBut(4)",     "cmdBut(1)",   "cmdBut(2)",     "cmdBut(0)",     "cmdBut(6)",
                                  "txtPage",       "txtItem",     "cmdBut(5)"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, expected);
}

// What the window offers in each configuration of a session.
struct Configuration {
    std::int16_t ovenType;
    bool editing;  // buttons 1, 3, 4, 6 and the fields on
    const char* info;
    const char* cookTempRange;
};

void ExpectConfiguration(editor::frmOpening& w, const Configuration& c) {
    EXPECT_EQ(w.DetermineOvenType(), c.ovenType);
    for (int index : {1, 3, 4, 6}) EXPECT_EQ(w.cmdBut->Button(index)->isEnabled(), c.editing) << index;
    for (int index : {0, 2, 5}) EXPECT_TRUE(w.cmdBut->Button(index)->isEnabled()) << index;
    for (int index : {0, 1}) EXPECT_EQ(w.optOvenType->Button(index)->isEnabled(), !c.editing) << index;
    EXPECT_EQ(w.lstItems->isEnabled(), c.editing);
    EXPECT_EQ(w.txtName->isEnabled(), c.editing);
    EXPECT_EQ(w.txtPage->isEnabled(), c.editing);
    EXPECT_FALSE(w.txtHoldTemp->isEnabled());
    EXPECT_EQ(w.lblMenuItem->Caption(), c.info);
    EXPECT_EQ(w.lblCookTempRange->Caption(), c.cookTempRange);
    EXPECT_EQ(w.lstItems->ListCount(), editor::kListLineCount);
    EXPECT_EQ(w.lstItems->ListIndex(), c.editing ? 1 : -1);
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    EXPECT_FALSE(ovn::Shared().IgnoreListClick);
}

TEST_F(EditorTest, ASessionPassesThroughTheConfigurations) {
    const Configuration waiting{-1, false, "New Menu\r\nselect oven type", ""};
    const Configuration gasItem{0, true, "Page 1\r\nItem 0", "F \r\n200 to 500"};
    const Configuration electricItem{1, true, "Page 1\r\nItem 0", "F \r\n200 - 600"};
    {
        SCOPED_TRACE("load");
        ExpectConfiguration(W(), waiting);
        EXPECT_EQ(W().cboPowerLevel->ListIndex(), -1);
        EXPECT_EQ(W().Caption(), "R5800 Menu Editor V0.42    [ New Menu ]");
        EXPECT_EQ(W().WindowCaptionMake(2), "ERROR");
        EXPECT_NEAR(W().LeftTwips(), ui::Form::ScreenWidthTwips() / 2 - W().WidthTwips() / 2, ui::kTwipsPerPixel);
        EXPECT_NEAR(W().TopTwips(), ui::Form::ScreenHeightTwips() / 2 - W().HeightTwips() / 2, ui::kTwipsPerPixel);
        W().SetOpeningFormCenter();
        EXPECT_NEAR(ovn::Shared().FormCenterX, W().LeftTwips() + W().WidthTwips() / 2, 1);
        EXPECT_NEAR(ovn::Shared().FormCenterY, W().TopTwips() + W().HeightTwips() / 2, 1);
    }
    ChooseOven(0);
    {
        SCOPED_TRACE("gas");
        ExpectConfiguration(W(), gasItem);
        EXPECT_EQ(W().lblCookTimRange->Caption(), "HH:MM\r\n00:00 to 18:00");
        EXPECT_EQ(W().lblHoldTempRange->Caption(), "F 100 to 200");
        EXPECT_EQ(W().cboPowerLevel->itemText(10), "0");
        EXPECT_EQ(W().cboFanSpeed->itemText(2), "OFF");
        EXPECT_EQ(W().cboFanSpeed->Text(), "HIGH");  // slot 0 on screen
    }
    ExpectSaveAs("GASMENU1");
    Click("cmdBut(1)");
    ExpectMessage(dialogs::kAnswerYes);
    Click("cmdBut(5)");
    {
        SCOPED_TRACE("new menu");
        ExpectConfiguration(W(), waiting);
        EXPECT_EQ(W().Caption(), "R5800 Menu Editor V0.42    [ New Menu ]");
    }
    ChooseOven(1);
    {
        SCOPED_TRACE("electric");
        ExpectConfiguration(W(), electricItem);
    }
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "gas menu read" : "gas menu read again");
        ExpectMessage(dialogs::kAnswerYes);
        ExpectRead("GASMENU1.ovn");
        Click("cmdBut(2)");
        ExpectConfiguration(W(), gasItem);
        EXPECT_EQ(W().Caption(), "R5800 Menu Editor V0.42    [ " + DirPath() + "/GASMENU1.ovn ]");
    }
}

}  // namespace
}  // namespace editortest
