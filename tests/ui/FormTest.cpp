// Windows: modal shows answered by a script, flags, placement and closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/ModalScript.h"

namespace {

TEST(Form, ModalShowIsAnsweredWithFocusAndReturnsAfterUnload) {
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
    buttons.Add(&dialog, 0, {120, 1440, 5055, 435}, "OK", ui::FontKind::Default)->setFocus();
    buttons.onClick = [&](int) { dialog.Unload(); };
    bool shownAsAPersonSeesIt = false;
    script->Expect("frmMEMessage100", [&](QWidget& window) {
        shownAsAPersonSeesIt = window.isVisible() && window.isModal() && QApplication::activeWindow() == &window &&
                               buttons.Button(0)->hasFocus();
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    dialog.ShowModal();
    EXPECT_TRUE(shownAsAPersonSeesIt);
    EXPECT_TRUE(dialog.IsUnloaded());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(script->Remaining(), 0);
    EXPECT_EQ(script->Shown(), 1);
    // Back in the owner the focus is where it was; another window taking it is no leaving of the box.
    EXPECT_EQ(QApplication::activeWindow(), &owner);
    EXPECT_TRUE(name.hasFocus());
    EXPECT_EQ(lost, 0);
}

TEST(Form, NestedModalShowsTakeTheNextAnswers) {
    auto script = testsupport::MakeScript();
    ui::Form owner("frmOwner", 6000, 4000);
    ui::Form outer("frmOuter", 3000, 2000, &owner);
    ui::Form inner("frmInner", 2000, 1000, &outer);
    std::string order;
    script->Expect("frmOuter", [&](QWidget&) {
        order += "outer;";
        inner.ShowModal();
        order += "outer again;";
        outer.Unload();
    });
    script->Expect("frmInner", [&](QWidget&) {
        order += "inner;";
        inner.Unload();
    });
    outer.ShowModal();
    EXPECT_EQ(order, "outer;inner;outer again;");
}

TEST(Form, DeletedWhileShownModallyReturnsSafely) {
    auto script = testsupport::MakeScript();
    ui::Form owner("frmOwner", 6000, 4000);
    auto* dialog = new ui::Form("frmDialog", 3000, 2000, &owner);
    script->Expect("frmDialog", [](QWidget& window) { delete &window; });
    dialog->ShowModal();
    EXPECT_EQ(owner.findChild<ui::Form*>("frmDialog"), nullptr);
}

struct ScriptFailureCase {
    const char* name;
    std::vector<QString> expected;  // the script's entries
    bool unloadInAction;
    int failuresWanted;
};

class ModalScriptFailures : public ::testing::TestWithParam<ScriptFailureCase> {};

TEST_P(ModalScriptFailures, AreReportedAndNothingHangs) {
    const ScriptFailureCase& row = GetParam();
    ui::Form owner("frmOwner", 6000, 4000);
    ui::Form dialog("frmDialog", 3000, 2000, &owner);
    std::vector<std::string> failures;
    {
        ui::ModalScript script([&](const std::string& why) { failures.push_back(why); });
        for (const QString& name : row.expected) {
            script.Expect(name, [&](QWidget& window) {
                if (row.unloadInAction) static_cast<ui::Form&>(window).Unload();
            });
        }
        if (row.expected.size() < 2) dialog.ShowModal();
        EXPECT_TRUE(dialog.IsUnloaded() || row.expected.size() >= 2);
    }
    EXPECT_EQ(static_cast<int>(failures.size()), row.failuresWanted) << (failures.empty() ? "" : failures.front());
    EXPECT_FALSE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Table, ModalScriptFailures,
                         ::testing::Values(ScriptFailureCase{"Expected", {"frmDialog"}, true, 0},
                                           ScriptFailureCase{"NoAnswerLeft", {}, true, 1},
                                           ScriptFailureCase{"OtherWindowExpected", {"frmOther"}, true, 1},
                                           ScriptFailureCase{"ActionLeftItOpen", {"frmDialog"}, false, 1},
                                           ScriptFailureCase{"AnswerNeverUsed", {"frmDialog", "frmDialog"}, true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Form, ErrorBoxIsTheCriticalMessageBoxTitledError) {
    auto script = testsupport::MakeScript();
    script->Expect("ErrorBox", [&](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "ERROR");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    std::string text;
    testsupport::ExpectErrorBox(*script, &text);
    ui::ShowErrorBox(nullptr, "MenuGet : /nowhere/X.ovn");
    ui::ShowErrorBox(nullptr, "MenuSave : /nowhere/Y.ovn");
    EXPECT_EQ(text, "MenuSave : /nowhere/Y.ovn");
}

TEST(FormDeathTest, ModalShowWithoutAScriptAbortsOffscreen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ui::Form form("frmLonely", 3000, 2000);
    EXPECT_DEATH(form.ShowModal(), "frmLonely.*without a ModalScript");
    EXPECT_DEATH(ui::ShowErrorBox(nullptr, "MenuGet : x"), "ErrorBox.*without a ModalScript");
}

TEST(Form, DialogIsTransientFixedHasNoCloseBoxAndTheExactTitle) {
    ui::Form owner("frmOpening", 11115, 6780);
    ui::Form dialog("frmMEMessage100", 5295, 1995, &owner);
    dialog.SetCaption("Information");
    owner.ShowModeless();
    dialog.ShowModeless();
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_EQ(dialog.size(), QSize(353, 133));  // 5295 x 1995 twips
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.windowHandle()->title(), "Information");  // no application name appended
}

TEST(Form, TwipsOfTheOuterFrame) {
    ui::Form form("frmOpening", 11115, 6780);
    EXPECT_EQ(form.WidthTwips(), 11115);  // before the window exists too
    EXPECT_EQ(form.HeightTwips(), 6780);
    form.MoveTwips(1500, 750);
    EXPECT_EQ(form.LeftTwips(), 1500);
    EXPECT_EQ(form.TopTwips(), 750);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(ui::Form::ScreenWidthTwips(), screen.width() * 15);
    EXPECT_EQ(ui::Form::ScreenHeightTwips(), screen.height() * 15);
}

struct PlaceCase {
    const char* name;
    int left;  // requested, in twips from the available area's corner
    int top;
    bool dialog;
    int wantLeft;  // -1: as far right as the area allows
    int wantTop;   // -1: as far down as the area allows
};

class Placement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Placement, DialogsStayInsideTheAvailableArea) {
    const PlaceCase& row = GetParam();
    ui::Form owner("frmOpening", 11115, 6780);
    ui::Form form("frmDialog", 5550, 3810, row.dialog ? &owner : nullptr);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner = area.topLeft() * 15;
    form.MoveTwips(corner.x() + row.left, corner.y() + row.top);
    const int maxLeft = (area.right() + 1) * 15 - 5550;
    const int maxTop = (area.bottom() + 1) * 15 - 3810;
    EXPECT_EQ(form.LeftTwips(), row.wantLeft == -1 ? maxLeft : corner.x() + row.wantLeft);
    EXPECT_EQ(form.TopTwips(), row.wantTop == -1 ? maxTop : corner.y() + row.wantTop);
}

INSTANTIATE_TEST_SUITE_P(Table, Placement,
                         ::testing::Values(PlaceCase{"Inside", 1005, 1500, true, 1005, 1500},
                                           PlaceCase{"OffLeftAndTop", -3000, -600, true, 0, 0},
                                           PlaceCase{"OffRightAndBottom", 900000, 900000, true, -1, -1},
                                           PlaceCase{"MainWindowIsNotKeptInside", -3000, -600, false, -3000, -600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Form, EscapeAndCloseRequestsDoNotCloseWithoutConsent) {
    ui::Form owner("frmOpening", 11115, 6780);
    ui::Form dialog("frmDialog", 5550, 3810, &owner);
    dialog.ShowModeless();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.close());  // no onQueryUnload: refused
    int asked = 0;
    bool consent = false;
    dialog.onQueryUnload = [&] { return ++asked, consent; };
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    consent = true;
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(dialog.IsUnloaded() && !dialog.isVisible());
}

}  // namespace
