// Window flags, placement and the ways a window may (not) be closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTest>
#include <memory>

#include "GuiTest.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

TEST(FormWindow, DialogIsTransientFixedAndHasNoCloseBox) {
    ui::Form owner("frmOpening", 11115, 6780);
    ui::Form dialog("frmMEMessage100", 5295, 1995, &owner);
    owner.ShowModeless();
    dialog.ShowModeless();
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_EQ(dialog.size(), QSize(353, 133));  // 5295 x 1995 twips
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.objectName(), "frmMEMessage100");
}

TEST(FormWindow, CaptionIsExactlyTheGivenText) {
    ui::Form form("frmOpening", 11115, 6780);
    form.SetCaption("R5800 Menu Editor V0.42    [ New Menu ]");
    form.ShowModeless();
    EXPECT_EQ(form.Caption(), "R5800 Menu Editor V0.42    [ New Menu ]");
    EXPECT_EQ(form.windowHandle()->title(), "R5800 Menu Editor V0.42    [ New Menu ]");
    EXPECT_TRUE(QGuiApplication::applicationDisplayName() == QCoreApplication::applicationName());
}

struct PlaceCase {
    const char* name;
    int left;  // requested, in screen twips relative to the available area's corner
    int top;
    bool dialog;
    int wantLeft;  // -1: the area's right edge less the width; -2: the bottom edge less the height
    int wantTop;
};

class Placement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Placement, DialogsStayInsideTheAvailableArea) {
    const PlaceCase& row = GetParam();
    ui::Form owner("frmOpening", 11115, 6780);
    ui::Form dialog("frmDialog", 5550, 3810, row.dialog ? &owner : nullptr);
    const int width = dialog.WidthTwips();
    const int height = dialog.HeightTwips();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const int areaLeft = ui::PixelsToTwips(area.left());
    const int areaTop = ui::PixelsToTwips(area.top());
    dialog.MoveTwips(areaLeft + row.left, areaTop + row.top);
    const int maxLeft = ui::PixelsToTwips(area.right() + 1) - width;
    const int maxTop = ui::PixelsToTwips(area.bottom() + 1) - height;
    EXPECT_EQ(dialog.LeftTwips(), row.wantLeft == -1 ? maxLeft : areaLeft + row.wantLeft);
    EXPECT_EQ(dialog.TopTwips(), row.wantTop == -2 ? maxTop : areaTop + row.wantTop);
}

INSTANTIATE_TEST_SUITE_P(Table, Placement,
                         ::testing::Values(PlaceCase{"Inside", 1005, 1500, true, 1005, 1500},
                                           PlaceCase{"OffLeftAndTop", -3000, -600, true, 0, 0},
                                           PlaceCase{"OffRightAndBottom", 900000, 900000, true, -1, -2},
                                           PlaceCase{"MainWindowIsNotKeptInside", -3000, -600, false, -3000, -600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormWindow, TwipsOfTheOuterFrame) {
    ui::Form form("frmOpening", 11115, 6780);
    EXPECT_EQ(form.WidthTwips(), 11115);  // before the window exists too
    EXPECT_EQ(form.HeightTwips(), 6780);
    form.MoveTwips(1500, 750);
    EXPECT_EQ(form.LeftTwips(), 1500);
    EXPECT_EQ(form.TopTwips(), 750);
    EXPECT_EQ(form.WidthTwips(), 11115);
    EXPECT_EQ(form.HeightTwips(), 6780);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(ui::Form::ScreenWidthTwips(), screen.width() * 15);
    EXPECT_EQ(ui::Form::ScreenHeightTwips(), screen.height() * 15);
}

TEST(FormWindow, EscapeAndCloseRequestsDoNotCloseWithoutConsent) {
    ui::Form owner("frmOpening", 11115, 6780);
    ui::Form dialog("frmDialog", 5550, 3810, &owner);
    dialog.ShowModeless();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.close());  // no onQueryUnload: refused
    EXPECT_TRUE(dialog.isVisible());
    int asked = 0;
    bool consent = false;
    dialog.onQueryUnload = [&] {
        ++asked;
        return consent;
    };
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    consent = true;
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.IsUnloaded());
}

TEST(FormWindow, ModalShowHandsTheFocusToTheWindow) {
    auto script = testsupport::MakeScript();
    ui::Form owner("frmOpening", 11115, 6780);
    ui::TextBox name(&owner, "txtName", {5280, 1260, 1875, 480}, ui::FontKind::A);
    int lost = 0;
    name.onLostFocus = [&] { ++lost; };
    owner.ShowModeless();
    QApplication::setActiveWindow(&owner);
    name.setFocus();
    ui::Form dialog("frmMEMessage100", 5295, 1995, &owner);
    ui::CommandButtonArray buttons("cmdBut", &dialog);
    buttons.Add(&dialog, 0, {120, 1440, 5055, 435}, "OK", ui::FontKind::Default);
    buttons.onClick = [&](int) { dialog.Unload(); };
    buttons.Button(0)->setFocus();
    bool focused = false;
    script->Expect("frmMEMessage100", [&](QWidget& window) {
        focused = QApplication::activeWindow() == &window && buttons.Button(0)->hasFocus();
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    dialog.ShowModal();
    EXPECT_TRUE(focused);
    EXPECT_TRUE(dialog.IsUnloaded());
    // Back in the owner, the focus is where it was; passing to another window is no leaving of the box.
    EXPECT_EQ(QApplication::activeWindow(), &owner);
    EXPECT_TRUE(name.hasFocus());
    EXPECT_EQ(lost, 0);
}

TEST(FormWindowDeathTest, ModalShowWithoutAScriptAbortsOffscreen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ui::Form form("frmLonely", 3000, 2000);
    EXPECT_DEATH(form.ShowModal(), "frmLonely.*without a ModalScript");
    EXPECT_DEATH(ui::ShowErrorBox(nullptr, "MenuGet : x"), "ErrorBox.*without a ModalScript");
}

}  // namespace
