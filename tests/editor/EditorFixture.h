// A fresh editor window per test, shown offscreen over an empty temporary menu
// directory and driven with real key and mouse events; every dialog is
// answered from the test's script.
#pragma once

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "GuiTest.h"
#include "dialogs/Dialogs.h"
#include "editor/frmOpening.h"
#include "menufile/Crc.h"
#include "model/MenuModel.h"

namespace editortest {

using testsupport::SeenMessage;
inline const std::string kInvalidEntries = "\r\nInvalid Entry(s).";

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ovn::ResetMenuState();
        ovn::BuildCrcTables();
        ASSERT_TRUE(dir_.isValid());
        ovn::Shared().MenuDirectory = ui::ToPath(dir_.path());
        script_ = testsupport::MakeScript();
        OpenWindow();
    }
    void TearDown() override {
        window_.reset();
        script_.reset();  // reports answers left unused
    }
    void OpenWindow() {
        window_ = std::make_unique<editor::frmOpening>();
        window_->ShowModeless();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    editor::frmOpening& W() { return *window_; }
    ui::ModalScript& Script() { return *script_; }
    QString DirPath() const { return dir_.path(); }
    std::string FilePath(const QString& name) const { return ui::ToPath(dir_.path() + "/" + name); }
    void Click(const QString& name) { testsupport::ClickButton(W(), name); }
    void ChooseOven(int index) { Click(QString("optOvenType(%1)").arg(index)); }
    void ExpectMessage(int answer, SeenMessage* seen = nullptr) { testsupport::ExpectMessage(Script(), answer, seen); }
    bool IsRed(ui::TextBox* box) const { return box->BackColor() == ui::ColorFromBgr(dialogs::kRed); }

    void ClickLine(int line) {
        QListWidget* list = W().lstItems;
        list->scrollToItem(list->item(line));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(line)).center());
    }
    // Empties the box with Backspace, then types `text` key by key.
    void SetBox(ui::TextBox* box, const QString& text) {
        ASSERT_TRUE(box->isEnabled()) << box->objectName().toStdString();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        for (auto i = box->Text().size(); i > 0; --i) QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    void ChooseEntry(ui::ComboBox* combo, const QString& entry) {
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = combo->findText(entry); i > 0; --i) QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(combo->Text(), entry);
    }
    void SetRoastNHold(bool on) {
        if ((W().chkRoastNHold->Value() == 1) == on) return;
        W().chkRoastNHold->setFocus();
        QTest::keyClick(W().chkRoastNHold, Qt::Key_Space);
    }

    // The chooser in save mode: types the name and presses OK.
    void ExpectSaveAs(const QString& name) {
        Script().Expect("frmMEDrvDirFil100", [name](QWidget& chooser) {
            QTest::keyClicks(testsupport::Child<QLineEdit>(chooser, "txtFileName"), name);
            testsupport::ClickButton(chooser, "cmdBut(1)");
        });
    }
    // The chooser in read mode: clicks the file in the list, runs `beforeOk`, presses OK.
    void ExpectRead(const QString& fileName, std::function<void()> beforeOk = {}) {
        Script().Expect("frmMEDrvDirFil100", [fileName, beforeOk](QWidget& chooser) {
            auto* list = testsupport::Child<QListWidget>(chooser, "lstFile");
            const auto found = list->findItems(fileName, Qt::MatchFixedString);
            ASSERT_EQ(found.size(), 1) << fileName.toStdString();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
            if (beforeOk) beforeOk();
            testsupport::ClickButton(chooser, "cmdBut(1)");
        });
    }
    void ExpectCancelledChooser() {
        Script().Expect("frmMEDrvDirFil100", [](QWidget& chooser) { testsupport::ClickButton(chooser, "cmdBut(0)"); });
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<ui::ModalScript> script_;
    std::unique_ptr<editor::frmOpening> window_;
};

}  // namespace editortest
