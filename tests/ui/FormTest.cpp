// Forms and modal shows on real windows offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
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

std::vector<std::string> failures;

std::unique_ptr<ui::ModalScript> RecordingScript() {
    failures.clear();
    return std::make_unique<ui::ModalScript>([](const std::string& why) { failures.push_back(why); });
}

TEST(Form, ShowModalReturnsOnlyAfterTheScriptUnloadsIt) {
    auto script = testsupport::MakeScript();
    ui::Form owner("frmOwner", 6000, 4000);
    owner.ShowModeless();
    ui::Form dialog("frmDialog", 3000, 2000, &owner);
    bool sawVisible = false;
    script->Expect("frmDialog", [&](QWidget& window) {
        sawVisible = window.isVisible() && window.isModal();
        static_cast<ui::Form&>(window).Unload();
    });
    dialog.ShowModal();
    EXPECT_TRUE(sawVisible);
    EXPECT_TRUE(dialog.IsUnloaded());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(script->Remaining(), 0);
    EXPECT_EQ(script->Shown(), 1);
}

TEST(Form, NestedModalShowsTakeTheNextAnswers) {
    auto script = testsupport::MakeScript();
    ui::Form owner("frmOwner", 6000, 4000);
    ui::Form outer("frmOuter", 3000, 2000, &owner);
    ui::Form inner("frmInner", 2000, 1000, &outer);
    std::vector<std::string> order;
    script->Expect("frmOuter", [&](QWidget&) {
        order.push_back("outer");
        inner.ShowModal();
        order.push_back("outer again");
        outer.Unload();
    });
    script->Expect("frmInner", [&](QWidget&) {
        order.push_back("inner");
        inner.Unload();
    });
    outer.ShowModal();
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner", "outer again"}));
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
    {
        auto script = RecordingScript();
        for (const QString& name : row.expected) {
            script->Expect(name, [&](QWidget& window) {
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
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    std::string text;
    script->Expect("ErrorBox", [&](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    testsupport::ExpectErrorBox(*script, &text);
    ui::ShowErrorBox(nullptr, "MenuGet : /nowhere/X.ovn");
    ui::ShowErrorBox(nullptr, "MenuSave : /nowhere/Y.ovn");
    EXPECT_EQ(title, "ERROR");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(text, "MenuSave : /nowhere/Y.ovn");
}

}  // namespace
