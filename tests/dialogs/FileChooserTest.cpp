// The file chooser driven through real windows offscreen, in a temporary
// directory: names typed key by key, files picked by mouse and keyboard, the
// errors shown through the message dialog, volumes, and start paths that are
// no directory.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "dialogs/Dialogs.h"
#include "dialogs/frmMEDrvDirFil100.h"
#include "model/MenuModel.h"
#include "ui/Controls.h"
#include "ui/FileLists.h"
#include "ui/Form.h"

namespace {

using dialogs::frmMEDrvDirFil100;
using testsupport::Child;

constexpr std::int16_t kSave = 0;
constexpr std::int16_t kRead = 1;

// Types `keys` into `box` one key at a time; '\b' is the Backspace key.
void TypeKeys(QWidget* box, const QString& keys) {
    for (QChar key : keys) {
        if (key == '\b') {
            QTest::keyClick(box, Qt::Key_Backspace);
        } else if (key.unicode() > 127) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(key), Qt::NoModifier);
        } else {
            QTest::keyClicks(box, QString(key));
        }
    }
}

int RowOf(ui::FileList* list, const QString& entry) {
    for (int row = 0; row < list->ListCount(); ++row) {
        if (list->List(row) == entry) return row;
    }
    ADD_FAILURE() << "no entry " << entry.toStdString();
    return -1;
}

void ClickEntry(ui::FileList* list, const QString& entry) {
    const int row = RowOf(list, entry);
    if (row < 0) return;
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

std::set<QString> Entries(ui::FileList* list) {
    std::set<QString> entries;
    for (int row = 0; row < list->ListCount(); ++row) entries.insert(list->List(row));
    return entries;
}

class FileChooser : public ::testing::Test {
protected:
    void SetUp() override {
        ovn::ResetMenuState();
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir::cleanPath(dir_.path());
        ovn::MenuState& state = ovn::Shared();
        state.FileDialogPath = ui::ToPath(root_);
        state.FileDialogExtension = "ovn";
        script_ = testsupport::MakeScript();
    }
    void TearDown() override {
        script_.reset();
        frmMEDrvDirFil100::SetVolumeSource({});
    }

    void Touch(const QString& name) {
        QFile file(root_ + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    void MakeDir(const QString& name) { ASSERT_TRUE(QDir(root_).mkpath(name)) << name.toStdString(); }
    std::string InRoot(const QString& name) const { return ui::ToPath(root_ + "/" + name); }

    void ExpectChooser(ui::ModalScript::Action action) { script_->Expect("frmMEDrvDirFil100", std::move(action)); }
    std::string Show(std::int16_t mode) {
        ovn::Shared().FileDialogMode = mode;
        dialogs::ShowFileChooser(nullptr);
        return ovn::Shared().FileDialogResult;
    }

    QTemporaryDir dir_;
    QString root_;
    std::unique_ptr<ui::ModalScript> script_;
};

// ---------------------------------------------------------------- save mode

struct SaveRow {
    const char* name;
    std::vector<const char*> existing;  // files in the directory; a trailing '/' makes a directory
    QString keys;
    QString box;          // the name box after typing
    const char* result;   // file name in the result, "" for none
    const char* message;  // error shown on OK, "" for none
};
void PrintTo(const SaveRow& row, std::ostream* out) {
    *out << row.name;
}

class SaveNames : public FileChooser, public ::testing::WithParamInterface<SaveRow> {};

TEST_P(SaveNames, TypedNameGivesResultOrError) {
    const SaveRow& row = GetParam();
    for (const char* entry : row.existing) {
        const QString name(entry);
        if (name.endsWith('/')) {
            MakeDir(name);
        } else {
            Touch(name);
        }
    }
    const bool fails = row.message[0] != '\0';
    testsupport::SeenMessage seen;
    ExpectChooser([&](QWidget& window) {
        auto* box = Child<ui::TextBox>(window, "txtFileName");
        box->setFocus();
        TypeKeys(box, row.keys);
        EXPECT_EQ(box->Text(), row.box);
        Child(window, "lstFile")->setFocus();
        testsupport::ClickButton(window, "cmdBut(1)");
        if (!fails) return;
        // The error leaves the chooser open, its name as it was, no result.
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(box->Text(), row.box);
        EXPECT_EQ(ovn::Shared().FileDialogResult, "");
        if (std::string(row.message) == "Invalid Filename") {
            EXPECT_EQ(window.focusWidget(), box) << "the focus goes back to the name box";
        }
        // The message stood centred on the chooser.
        auto& form = static_cast<ui::Form&>(window);
        EXPECT_NEAR(ovn::Shared().FormCenterX, form.LeftTwips() + form.WidthTwips() / 2.0, 1.0);
        EXPECT_NEAR(ovn::Shared().FormCenterY, form.TopTwips() + form.HeightTwips() / 2.0, 1.0);
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    if (fails) testsupport::ExpectMessage(*script_, dialogs::kAnswerOk, &seen);

    const std::string result = Show(kSave);

    if (fails) {
        EXPECT_EQ(result, "");
        EXPECT_EQ(seen.type, 16);
        EXPECT_EQ(seen.color, dialogs::kRed);
        EXPECT_EQ(seen.text, std::string("\r\n") + row.message);
    } else {
        EXPECT_EQ(result, InRoot(row.result));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveNames,
    ::testing::Values(
        SaveRow{"EightLetters", {}, "ABCDEFGH", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"ThreeIsInvalid", {}, "ABC", "ABC", "", "Invalid Filename"},
        SaveRow{"NineIsInvalid", {}, "ABCDEFGHI", "ABCDEFGHI", "", "Invalid Filename"},
        SaveRow{"EmptyHasNoName", {}, "", "", "", "No Filename Exists"},
        SaveRow{"FullStopInside", {}, "AB.CDEFG", "AB.CDEFG", "AB.CDEFG.ovn", ""},
        SaveRow{"LowerCaseKept", {}, "abcdEFGH", "abcdEFGH", "abcdEFGH.ovn", ""},
        SaveRow{"SpaceKept", {}, "ABC DEFG", "ABC DEFG", "ABC DEFG.ovn", ""},
        SaveRow{"QuestionAndBackslashDropped", {}, "AB?CD\\EFGH", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"EveryForbiddenCharacterDropped", {}, "A/B:C*D\"E<F>G|H", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"NonAsciiDropped", {}, QString("ABCD") + QChar(0xE9) + "EFGH", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"BackspaceDeletes", {}, "ABCDEFGHX\b", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"BackspaceToTooShort", {}, "ABCDEFGH\b\b", "ABCDEF", "", "Invalid Filename"},
        SaveRow{"ReplacesUpperCaseFile", {"ABCDEFGH.OVN"}, "abcdefgh", "abcdefgh", "ABCDEFGH.OVN", ""},
        SaveRow{"ExactNameWins", {"ABCDEFGH.OVN", "abcdefgh.ovn"}, "abcdefgh", "abcdefgh", "abcdefgh.ovn", ""},
        SaveRow{"OtherNameUntouched", {"ABCDEFGH.OVN"}, "ABCDEFGX", "ABCDEFGX", "ABCDEFGX.ovn", ""},
        SaveRow{"DirectoryIsNoMenuFile", {"ABCDEFGH.OVN/"}, "ABCDEFGH", "ABCDEFGH", "ABCDEFGH.ovn", ""}),
    [](const ::testing::TestParamInfo<SaveRow>& info) { return info.param.name; });

TEST_F(FileChooser, EnterInTheNameBoxPressesNothing) {
    ExpectChooser([](QWidget& window) {
        auto* box = Child<ui::TextBox>(window, "txtFileName");
        box->setFocus();
        TypeKeys(box, "ABCDEFGH");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(box->Text(), "ABCDEFGH");
        EXPECT_EQ(ovn::Shared().FileDialogResult, "");
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    EXPECT_EQ(Show(kSave), "");
}

TEST_F(FileChooser, SaveModePicksANameFromTheList) {
    Touch("MENU0001.ovn");
    ExpectChooser([](QWidget& window) {
        ClickEntry(Child<ui::FileList>(window, "lstFile"), "MENU0001.ovn");
        EXPECT_EQ(Child<ui::TextBox>(window, "txtFileName")->Text(), "MENU0001");
        testsupport::ClickButton(window, "cmdBut(1)");
    });
    EXPECT_EQ(Show(kSave), InRoot("MENU0001.ovn"));
}

// ---------------------------------------------------------------- read mode

TEST_F(FileChooser, BothModesListMenuFilesWithoutRegardToCase) {
    for (const char* name : {"MENU0001.ovn", "X.OVN", "Mixed.Ovn", "notes.txt", "ovn", "MENU0001.ovn.bak"}) Touch(name);
    MakeDir("FOLDER.ovn");
    for (std::int16_t mode : {kSave, kRead}) {
        SCOPED_TRACE(mode);
        ExpectChooser([](QWidget& window) {
            EXPECT_EQ(Entries(Child<ui::FileList>(window, "lstFile")),
                      (std::set<QString>{"MENU0001.ovn", "X.OVN", "Mixed.Ovn"}));
            testsupport::ClickButton(window, "cmdBut(0)");
        });
        EXPECT_EQ(Show(mode), "");
    }
}

struct ReadRow {
    const char* name;
    const char* entry;
    const char* box;
};
void PrintTo(const ReadRow& row, std::ostream* out) {
    *out << row.name;
}

class ReadPicks : public FileChooser, public ::testing::WithParamInterface<ReadRow> {};

// The result names the file exactly as it is on disk.
TEST_P(ReadPicks, MouseClickOnAnEntryGivesItsPath) {
    for (const char* name : {"MENU0001.ovn", "MENU0002.ovn", "X.OVN", "Mixed.Ovn", "LONGERNAME12.ovn"}) Touch(name);
    const ReadRow& row = GetParam();
    ExpectChooser([&](QWidget& window) {
        auto* box = Child<ui::TextBox>(window, "txtFileName");
        EXPECT_FALSE(box->isEnabled());
        ClickEntry(Child<ui::FileList>(window, "lstFile"), row.entry);
        EXPECT_EQ(box->Text(), row.box);
        testsupport::ClickButton(window, "cmdBut(1)");
    });
    EXPECT_EQ(Show(kRead), InRoot(row.entry));
}

INSTANTIATE_TEST_SUITE_P(Entries, ReadPicks,
                         ::testing::Values(ReadRow{"Lower", "MENU0001.ovn", "MENU0001"},
                                           ReadRow{"Second", "MENU0002.ovn", "MENU0002"},
                                           ReadRow{"UpperExtension", "X.OVN", "X"},
                                           ReadRow{"MixedExtension", "Mixed.Ovn", "Mixed"},
                                           ReadRow{"AnyLength", "LONGERNAME12.ovn", "LONGERNAME12"}),
                         [](const ::testing::TestParamInfo<ReadRow>& info) { return info.param.name; });

TEST_F(FileChooser, ReadModePicksByKeyboard) {
    for (const char* name : {"MENU0001.ovn", "MENU0002.ovn", "X.OVN"}) Touch(name);
    QString picked;
    ExpectChooser([&picked](QWidget& window) {
        auto* list = Child<ui::FileList>(window, "lstFile");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
        QTest::keyClick(list, Qt::Key_Up);
        ASSERT_EQ(list->ListIndex(), list->ListCount() - 2);
        picked = list->List(list->ListIndex());
        EXPECT_EQ(Child<ui::TextBox>(window, "txtFileName")->Text() + ".ovn", picked);
        testsupport::ClickButton(window, "cmdBut(1)");
    });
    const std::string result = Show(kRead);
    EXPECT_EQ(result, InRoot(picked));
}

TEST_F(FileChooser, ReadModeWithoutAPickAsksForAName) {
    Touch("MENU0001.ovn");
    testsupport::SeenMessage seen;
    ExpectChooser([](QWidget& window) {
        testsupport::ClickButton(window, "cmdBut(1)");
        EXPECT_TRUE(window.isVisible());
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    testsupport::ExpectMessage(*script_, dialogs::kAnswerOk, &seen);
    EXPECT_EQ(Show(kRead), "");
    EXPECT_EQ(seen.text, "\r\nNo Filename Exists");
    EXPECT_EQ(seen.type, 16);
}

// ---------------------------------------------------------------- load

struct ModeRow {
    const char* name;
    std::int16_t mode;
    const char* title;  // FileDialogTitle
    QString caption;
    QString label;
    bool nameBoxEnabled;
};
void PrintTo(const ModeRow& row, std::ostream* out) {
    *out << row.name;
}

class Modes : public FileChooser, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(Modes, LoadSetsTitleLabelsAndPlace) {
    const ModeRow& row = GetParam();
    ovn::Shared().FileDialogTitle = row.title;
    ovn::Shared().FileDialogResult = "left over";
    ExpectChooser([&](QWidget& window) {
        auto& form = static_cast<ui::Form&>(window);
        EXPECT_EQ(form.Caption(), row.caption);
        EXPECT_NEAR(form.LeftTwips(), 1000, ui::kTwipsPerPixel);
        EXPECT_NEAR(form.TopTwips(), 1000, ui::kTwipsPerPixel);
        auto* label = Child<ui::Label>(window, "lblFileName");
        EXPECT_EQ(label->Caption(), row.label);
        EXPECT_EQ(label->isEnabled(), row.nameBoxEnabled);
        EXPECT_EQ(Child<ui::Label>(window, "Label1")->Caption(), "Existing Menu Files:");
        EXPECT_EQ(Child(window, "txtFileName")->isEnabled(), row.nameBoxEnabled);
        EXPECT_EQ(ovn::Shared().FileDialogResult, "");
        for (const char* name : {"Label1", "lblFileName", "cmdBut(0)", "cmdBut(1)"}) {
            EXPECT_TRUE(ui::CaptionFits(Child(window, name))) << name;
        }
        EXPECT_EQ(Child<QPushButton>(window, "cmdBut(0)")->text(), "Cancel");
        EXPECT_EQ(Child<QPushButton>(window, "cmdBut(1)")->text(), "OK");
        if (row.mode != kSave && row.mode != kRead) {
            // A mode of neither kind: OK does nothing at all.
            testsupport::ClickButton(window, "cmdBut(1)");
            EXPECT_TRUE(window.isVisible());
        }
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    EXPECT_EQ(Show(row.mode), "");
}

INSTANTIATE_TEST_SUITE_P(Titles, Modes,
                         ::testing::Values(ModeRow{"Save", kSave, "", "Select/Enter Filename to Save Menu",
                                                   "Enter Menu Filename,\r\n8 characters, NO extension.", true},
                                           ModeRow{"Read", kRead, "", "Select Filename to Read Menu", "\r\nFilename",
                                                   false},
                                           ModeRow{"SaveOwnTitle", kSave, "Export", "Export",
                                                   "Enter Menu Filename,\r\n8 characters, NO extension.", true},
                                           ModeRow{"ReadOwnTitle", kRead, "Import", "Import", "\r\nFilename", false},
                                           ModeRow{"OtherMode", 2, "", "", "x", true}),
                         [](const ::testing::TestParamInfo<ModeRow>& info) { return info.param.name; });

// A start path that is no directory opens on the home directory.
TEST_F(FileChooser, StartPathThatIsNoDirectoryOpensOnHome) {
    Touch("OVENS");
    MakeDir("home");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(root_ + "/home"));
    struct Row {
        const char* name;
        QString path;
    };
    for (const Row& row : {Row{"PlainFile", root_ + "/OVENS"}, Row{"Missing", root_ + "/missing/OVENS"}}) {
        SCOPED_TRACE(row.name);
        ovn::Shared().FileDialogPath = ui::ToPath(row.path);
        ExpectChooser([this](QWidget& window) {
            EXPECT_EQ(Child<ui::DirectoryList>(window, "lstDirectory")->Path(), root_ + "/home");
            EXPECT_EQ(Child<ui::FileList>(window, "lstFile")->Path(), root_ + "/home");
            TypeKeys(Child(window, "txtFileName"), "ABCDEFGH");
            testsupport::ClickButton(window, "cmdBut(1)");
        });
        EXPECT_EQ(Show(kSave), InRoot("home/ABCDEFGH.ovn"));
    }
    qputenv("HOME", savedHome);
}

// ---------------------------------------------------------------- volumes

TEST_F(FileChooser, VolumesMoveTheListsAndTheRootHasOneSeparator) {
    Touch("MENU0001.ovn");
    MakeDir("stick/deep");
    const QString stick = root_ + "/stick";
    frmMEDrvDirFil100::SetVolumeSource([this, stick] {
        return std::vector<ui::Volume>{{"System", "/"}, {"Menus", root_}, {"Stick", stick}, {"Gone", root_ + "/gone"}};
    });
    ovn::Shared().FileDialogPath = ui::ToPath(stick + "/deep");
    ExpectChooser([&](QWidget& window) {
        auto* drive = Child<ui::DriveList>(window, "lstDrive");
        auto* directory = Child<ui::DirectoryList>(window, "lstDirectory");
        auto* files = Child<ui::FileList>(window, "lstFile");
        // The volume with the longest mount point that holds the start path.
        EXPECT_EQ(drive->Drive(), stick);
        EXPECT_EQ(directory->Path(), stick + "/deep");

        drive->setFocus();
        QTest::keyClick(drive, Qt::Key_Up);  // Menus
        EXPECT_EQ(drive->Drive(), root_);
        EXPECT_EQ(directory->Path(), root_);
        EXPECT_EQ(Entries(files), (std::set<QString>{"MENU0001.ovn"}));

        QTest::keyClick(drive, Qt::Key_End);  // Gone: nothing to read, nothing breaks
        EXPECT_EQ(drive->Drive(), root_ + "/gone");
        EXPECT_EQ(files->ListCount(), 0);

        QTest::keyClick(drive, Qt::Key_Home);  // System
        EXPECT_EQ(directory->Path(), "/");
        EXPECT_EQ(files->Path(), "/");
        TypeKeys(Child(window, "txtFileName"), "ABCDEFGH");
        testsupport::ClickButton(window, "cmdBut(1)");
    });
    EXPECT_EQ(Show(kSave), "/ABCDEFGH.ovn");
}

}  // namespace
