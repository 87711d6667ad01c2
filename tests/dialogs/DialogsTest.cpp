// The message dialog and the file chooser driven through real windows offscreen.
#include <QtTest>
#include <QtWidgets>

#include "GuiTest.h"
#include "dialogs/DialogValues.h"
#include "dialogs/Dialogs.h"
#include "dialogs/frmMEDrvDirFil100.h"
#include "dialogs/frmMEMessage100.h"
#include "model/MenuModel.h"

namespace {

using namespace dialogs;
using namespace testsupport;
enum : std::int16_t { kSave = kSaveMode, kRead = kReadMode };
constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

// The requested top-left corner, kept inside the screen's available area; positions travel in whole pixels.
void ExpectPlaced(const ui::Form& form, QPoint centre) {
    const QRect pixels = QGuiApplication::primaryScreen()->availableGeometry();
    const int twips = ui::kTwipsPerPixel;
    const int width = form.WidthTwips();
    const int height = form.HeightTwips();
    const QRect area(pixels.x() * twips, pixels.y() * twips, pixels.width() * twips, pixels.height() * twips);
    EXPECT_NEAR(form.LeftTwips(), std::clamp(centre.x() - width / 2, area.x(), area.x() + area.width() - width), twips);
    EXPECT_NEAR(form.TopTwips(), std::clamp(centre.y() - height / 2, area.y(), area.y() + area.height() - height),
                twips);
    EXPECT_TRUE(area.contains(QRect(form.LeftTwips(), form.TopTwips(), width, height)));
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ovn::ResetMenuState();
        ResetDialogValues();
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir::cleanPath(dir_.path());
        start_ = ui::ToPath(root_);
        owner_.show();  // messages are dialogs over the window that asks
    }
    static QWidget* Button(QWidget& window, int index) { return Child(window, QString("cmdBut(%1)").arg(index)); }
    void Make(const QString& name) {  // a directory when the name ends in '/'
        if (name.endsWith('/')) {
            ASSERT_TRUE(QDir(root_).mkpath(name)) << name.toStdString();
        } else {
            ASSERT_TRUE(QFile(root_ + '/' + name).open(QFile::WriteOnly)) << name.toStdString();
        }
    }
    std::string InRoot(const QString& name) const { return ui::ToPath(root_ + "/" + name); }
    std::string Choose(std::int16_t mode, ui::ModalScript::Action action) {
        script_->Expect("frmMEDrvDirFil100", std::move(action));
        return ChooseMenuFile(nullptr, mode, start_, "ovn");
    }

    QTemporaryDir dir_;
    QString root_;
    std::string start_;  // the directory the chooser opens on
    QWidget owner_;
    std::unique_ptr<ui::ModalScript> script_ = MakeScript();  // destroyed first: reports windows never shown
};

struct TypeRow {
    const char* name;
    std::int16_t type;
    std::uint32_t color, shown;
    std::vector<int> leftToRight;
    QPoint formCentre;    // where types from 16 on stand; the others stand on the screen's centre
    const char* meaning;  // the colour in words, for a screen reader
};
class MessageTypes : public Dialogs, public ::testing::WithParamInterface<TypeRow> {};

TEST_P(MessageTypes, ShowButtonsColourTextAndPlaceAndAnswerEachButton) {
    const TypeRow& row = GetParam();
    for (int answer : row.leftToRight) {
        Values().FormCenterX = row.formCentre.x();
        Values().FormCenterY = row.formCentre.y();
        Values().MessageAnswer = 99;
        script_->Expect("frmMEMessage100", [&](QWidget& dialog) {
            auto& form = static_cast<ui::Form&>(dialog);
            std::vector<int> shown;
            for (int i = 0; i < 4; ++i)
                if (Button(dialog, i)->isVisible()) shown.push_back(i);
            std::sort(shown.begin(), shown.end(),
                      [&](int a, int b) { return Button(dialog, a)->x() < Button(dialog, b)->x(); });
            ASSERT_EQ(shown, row.leftToRight);
            ASSERT_EQ(dialog.focusWidget(), Button(dialog, shown.front()));
            const QRect first = Button(dialog, shown.front())->geometry();
            const QRect last = Button(dialog, shown.back())->geometry();
            EXPECT_TRUE(shown.size() != 2 || last.left() - first.right() > first.width()) << "no gap for Cancel";
            // Within the border: the colour, an empty first line, then the text centred.
            QWidget* label = Child(dialog, "lblInformation");
            const QImage image = label->grab().toImage().copy(3, 3, label->width() - 6, label->height() - 6);
            const QColor background = image.pixelColor(1, image.height() - 2);
            EXPECT_EQ(background, ui::ColorFromBgr(row.shown));
            const QRect text = QRegion(QBitmap::fromImage(image.createMaskFromColor(background.rgb()))).boundingRect();
            const int lineHeight = label->fontMetrics().height();
            EXPECT_TRUE(text.top() >= lineHeight * 3 / 4 && text.top() < lineHeight * 2) << text.top();
            EXPECT_NEAR(text.left(), image.width() - 1 - text.right(), 3);
            EXPECT_EQ(Spoken(&dialog), std::string("AlertMessage|Information|") + row.meaning + "|");
            EXPECT_EQ(Spoken(label), "StaticText|\nA question||");
            const QPoint screenCentre = QPoint(form.ScreenWidthTwips(), form.ScreenHeightTwips()) / 2;
            ExpectPlaced(form, row.type < 16 ? screenCentre : row.formCentre);
            // Neither Enter, Escape nor the close box press a button; the old answer stays.
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(dialog.focusWidget(), key);
            dialog.close();
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(Values().MessageAnswer, 99);
            ClickButton(dialog, QString("cmdBut(%1)").arg(answer));
        });
        EXPECT_EQ(Ask(&owner_, row.type, row.color, "\r\nA question"), answer);  // Ask returns the stored answer
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, MessageTypes,
    ::testing::Values(TypeRow{"Ok0", 0, kYellow, kYellow, {0}, {0, 0}, "Notice"},
                      TypeRow{"YesNo1", 1, kYellow, kYellow, {1, 2}, {5000, 4000}, "Question"},
                      TypeRow{"YesCancelNo2", 2, kRed, kRed, {1, 3, 2}, {5000, 4000}, "Error"},
                      TypeRow{"Ok16TopLeftCorner", 16, kRed, kRed, {0}, {0, 0}, "Error"},
                      TypeRow{"YesNo17FarOffLeft", 17, kYellow, kYellow, {1, 2}, {-20000, 4000}, "Question"},
                      TypeRow{"YesCancelNo18", 18, kYellow, kYellow, {1, 3, 2}, {5000, 4000}, "Question"},
                      TypeRow{"RedOk5", 5, kYellow, kRed, {0}, {5000, 4000}, "Error"},
                      TypeRow{"RedOk20FarOffBottomRight", 20, kYellow, kRed, {0}, {60000, 60000}, "Error"}),
    kRowName);

// With its owner the box shows in the editor's failed reads and saves.
TEST_F(Dialogs, StorageFailureShowsTheErrorBoxEvenAfterItsOwnerIsGone) {
    const std::string path = InRoot("missing/MENU0001.ovn");
    std::string text;
    ovn::MenuImageBytes image{};
    ExpectErrorBox(*script_, &text);
    const ovn::StorageErrorReporter report = StorageErrorBox(std::make_unique<QWidget>().get());  // owner gone at once
    EXPECT_FALSE(ovn::MenuGet(path, image, report));
    EXPECT_EQ(text, "MenuGet : " + path + "\nNo such file or directory");  // the cause on a line of its own
}

struct SaveRow {
    const char* name;
    QStringList existing;
    QString keys, box;           // typed, then in the name box
    const char *result, *error;  // the file the result names, else the message OK shows
};
class SaveNames : public Dialogs, public ::testing::WithParamInterface<SaveRow> {};

TEST_P(SaveNames, TypedNameGivesPathOrError) {
    const SaveRow& row = GetParam();
    for (const QString& name : row.existing) Make(name);
    const bool fails = *row.error != '\0';
    Message seen;
    const std::string result = Choose(kSave, [&](QWidget& dialog) {
        auto& form = static_cast<ui::Form&>(dialog);
        EXPECT_EQ(form.Caption(), "Select/Enter Filename to Save Menu");
        auto* box = Child<ui::TextBox>(dialog, "txtFileName");
        box->setFocus();
        for (QChar key : row.keys)
            QTest::sendKeyEvent(QTest::Click, box, key == '\b' ? Qt::Key_Backspace : Qt::Key_unknown, key, {});
        EXPECT_EQ(box->Text(), row.box);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
        EXPECT_TRUE(dialog.isVisible());
        Child(dialog, "lstFile")->setFocus();
        if (fails) ExpectMessage(*script_, kAnswerOk, &seen);
        ClickButton(dialog, "cmdBut(1)");
        if (!fails) return;
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(box->Text(), row.box);
        EXPECT_EQ(Values().FileDialogResult, "");
        EXPECT_TRUE(std::string(row.error) != "Invalid Filename" || dialog.focusWidget() == box);
        EXPECT_NEAR(Values().FormCenterX, form.LeftTwips() + form.WidthTwips() / 2.0, 1.0);
        EXPECT_NEAR(Values().FormCenterY, form.TopTwips() + form.HeightTwips() / 2.0, 1.0);
        ClickButton(dialog, "cmdBut(0)");
    });
    EXPECT_EQ(result, fails ? "" : InRoot(row.result));
    EXPECT_EQ(seen, fails ? Message(16, kRed, "\r\n" + std::string(row.error)) : Message());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveNames,
    ::testing::Values(
        SaveRow{"EightLetters", {}, "ABCDEFGH", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"ThreeIsInvalid", {}, "ABC", "ABC", "", "Invalid Filename"},
        SaveRow{"NineIsInvalid", {}, "ABCDEFGHI", "ABCDEFGHI", "", "Invalid Filename"},
        SaveRow{"EmptyHasNoName", {}, "", "", "", "No Filename Exists"},
        SaveRow{"FullStopAndSpaceKept", {}, "AB.C DEF", "AB.C DEF", "AB.C DEF.ovn", ""},
        SaveRow{"LowerCaseKept", {}, "abcdEFGH", "abcdEFGH", "abcdEFGH.ovn", ""},
        SaveRow{"ForbiddenDropped", {}, "A?B\\C/D:E*F\"G<H>|\xc3\xa9", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"BackspaceDeletes", {}, "ABCDEFGHX\b", "ABCDEFGH", "ABCDEFGH.ovn", ""},
        SaveRow{"ReplacesUpperCaseFile", {"ABCDEFGH.OVN"}, "abcdefgh", "abcdefgh", "ABCDEFGH.OVN", ""},
        SaveRow{"ExactNameWins", {"ABCDEFGH.OVN", "abcdefgh.ovn"}, "abcdefgh", "abcdefgh", "abcdefgh.ovn", ""},
        SaveRow{"DirectoryIsNoMenuFile", {"ABCDEFGH.OVN/"}, "ABCDEFGH", "ABCDEFGH", "ABCDEFGH.ovn", ""}),
    kRowName);

// Only menu files are listed; OK without a pick asks for one; the result names the file as on disk.
TEST_F(Dialogs, ReadModePicksByMouseAndKeyboard) {
    for (const char* name : {"MENU0001.ovn", "X.OVN", "LongName12.Ovn", "notes.txt", "DIR.ovn/"}) Make(name);
    Message seen;
    const std::string result = Choose(kRead, [&](QWidget& dialog) {
        EXPECT_EQ(static_cast<ui::Form&>(dialog).Caption(), "Select Filename to Read Menu");
        auto* box = Child<ui::TextBox>(dialog, "txtFileName");
        auto* list = Child<ui::FileList>(dialog, "lstFile");
        EXPECT_FALSE(box->isEnabled());
        EXPECT_EQ(list->ListCount(), 3);
        const std::string drives = Spoken(Child(dialog, "lstDrive"));  // a combo box's name is its choice
        EXPECT_TRUE(drives.starts_with("ComboBox|") && drives.ends_with("|Drives|")) << drives;
        EXPECT_EQ(
            (std::vector{Spoken(Child(dialog, "lstDirectory")), Spoken(list), Spoken(box)}),
            (std::vector<std::string>{"List|Directories||", "List|Files||", "EditableText|Filename||\nFilename"}));
        ExpectMessage(*script_, kAnswerOk, &seen);
        ClickButton(dialog, "cmdBut(1)");
        QListWidgetItem* byMouse = list->findItems("X.OVN", Qt::MatchCaseSensitive).value(0);
        QListWidgetItem* byKeys = list->findItems("LongName12.Ovn", Qt::MatchCaseSensitive).value(0);
        ASSERT_TRUE(byMouse && byKeys);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(byMouse).center());
        EXPECT_EQ(box->Text(), "X");
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < list->row(byKeys); ++i) QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(box->Text(), "LongName12");
        ClickButton(dialog, "cmdBut(1)");
    });
    EXPECT_EQ(std::get<2>(seen), "\r\nNo Filename Exists");
    EXPECT_EQ(result, InRoot("LongName12.Ovn"));
}

TEST_F(Dialogs, PlainFileAsStartOpensOnHomeVolumeThenTheRootNamesWithOneSeparator) {
    Make("OVENS");
    Make("stick/home/");
    const QString stick = root_ + "/stick";
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(stick + "/home"));
    std::string result;
    {
        const frmMEDrvDirFil100::ScopedVolumeSource volumes([stick] {
            return std::vector<ui::Volume>{{"System", "/"}, {"Stick", stick}};
        });
        start_ = InRoot("OVENS");
        result = Choose(kSave, [&](QWidget& dialog) {
            auto* drive = Child<ui::DriveList>(dialog, "lstDrive");
            EXPECT_EQ(drive->Drive(), stick);
            EXPECT_EQ(Child<ui::DirectoryList>(dialog, "lstDirectory")->Path(), stick + "/home");
            drive->setFocus();
            QTest::keyClick(drive, Qt::Key_Home);
            EXPECT_EQ(Child<ui::FileList>(dialog, "lstFile")->Path(), "/");
            QTest::keyClicks(Child(dialog, "txtFileName"), "ABCDEFGH");
            ClickButton(dialog, "cmdBut(1)");
        });
    }
    qputenv("HOME", savedHome);
    // The override ended with its scope: a chooser offers the machine's volumes again.
    frmMEDrvDirFil100 after;
    after.Form_Load();
    EXPECT_EQ(Child<ui::DriveList>(after, "lstDrive")->Volumes().size(), ui::MountedVolumes().size());
    EXPECT_EQ(result, "/ABCDEFGH.ovn");
}

TEST_F(Dialogs, DriveListOffersSticksAndSharesFromTheMountTableWithoutLookingAtThem) {
    // Plain files stand where mount points should be: a local mount is looked
    // at (a bind-mounted file is no volume), a share or a FUSE driver never is.
    QString table;
    for (const QString type : {"ext4", "fuse.fusefat", "cifs", "smb3", "nfs", "nfs4", "fuse.sshfs", "fuse.portal",
                               "fuse.gvfsd-fuse", "fuse.lxcfs", "cgroup2", "tmpfs", "overlay"}) {
        Make(type);
        table += "source " + root_ + "/" + type + " " + type + " rw 0 0\n";
    }
    const frmMEDrvDirFil100::ScopedVolumeSource volumes([&] { return ui::ListedVolumes(table, root_ + "/labels"); });
    Choose(kRead, [&](QWidget& window) {
        QStringList listed;
        for (const ui::Volume& volume : Child<ui::DriveList>(window, "lstDrive")->Volumes())
            listed << QString(volume.name).remove(root_ + "/");
        EXPECT_EQ(listed, QStringList({"/", "cifs", "fuse.fusefat", "fuse.sshfs", "nfs", "nfs4", "smb3"}));
        ClickButton(window, "cmdBut(0)");
    });
}

// The contrast of a surface's text to its background, from its pixels: the
// background is the first pixel inside its frame, the text the pixel standing out most.
double TextContrast(QWidget& surface, int frame) {
    const QImage image = surface.grab().toImage();
    const QColor background = image.pixelColor(frame, frame);
    double most = 1.0;
    for (int y = frame; y < image.height() - frame; ++y) {
        for (int x = frame; x < image.width() - frame; ++x)
            most = std::max(most, ui::ContrastRatio(image.pixelColor(x, y), background));
    }
    return most;
}

TEST_F(Dialogs, TextOnTheColoursTheProgramSetsReachesWcagAaUnderLightDarkAndHighContrastPalettes) {
    const QPalette saved = QApplication::palette();
    Values().MessageType = kYesNoOnWindow;
    Values().MessageText = "\r\nALL Current Menu Information\r\nwill be deleted.";
    const std::tuple<const char*, QColor, QColor> palettes[] = {{"light", Qt::white, Qt::black},
                                                                {"dark", QColor(0x2d, 0x2d, 0x2d), Qt::white},
                                                                {"highContrast", Qt::black, Qt::yellow}};
    for (const auto& [name, background, text] : palettes) {
        SCOPED_TRACE(name);
        QApplication::setPalette(
            QPalette(text, background, background, background, background, text, text, background, background));
        for (const std::uint32_t colour : {kYellow, kRed}) {
            Values().MessageColor = colour;
            frmMEMessage100 message;
            message.Form_Load();
            EXPECT_GE(TextContrast(*Child(message, "lblInformation"), 1), 4.5) << colour;
        }
        ui::TextBox field(nullptr, "txtCookTemp", {0, 0, 1275, 480}, ui::FontKind::Default);  // takes the palette
        field.SetText("100");
        field.SetBackColor(ui::kInvalidBackColor);
        EXPECT_GE(TextContrast(field, 3), 4.5) << "red field";
    }
    QApplication::setPalette(saved);
}

}  // namespace
