// Every control of the layer and the drive, directory and file lists, on a shown window offscreen.
#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "GuiTest.h"
#include "ui/Controls.h"
#include "ui/FileLists.h"
#include "ui/Form.h"

namespace {

using ui::FontKind;

class Controls : public ::testing::Test {
public:
    std::unique_ptr<ui::Form> form = std::make_unique<ui::Form>("frmTest", 12000, 8000);
    ui::ComboBox* fan = new ui::ComboBox(form.get(), "cboFanSpeed", {300, 1000, 1335, 480}, FontKind::A);
    ui::CheckBox* roast = new ui::CheckBox(form.get(), "chkRoastNHold", {300, 1700, 1995, 255}, "Roast", FontKind::B);
    ui::ListBox* list = new ui::ListBox(form.get(), "lstItems", {3000, 180, 2775, 4260}, FontKind::C);
    ui::OptionGroup* oven = new ui::OptionGroup("optOvenType", form.get());
    ui::CommandButtonArray* buttons = new ui::CommandButtonArray("cmdBut", form.get());
    ui::TextBox* box = new ui::TextBox(form.get(), "txtName", {6000, 300, 1875, 480}, FontKind::A);
    ui::TextBox* other = new ui::TextBox(form.get(), "txtCookTemp", {6000, 1000, 1275, 480}, FontKind::A);
    ui::DirectoryList* dirs = new ui::DirectoryList(form.get(), "lstDirectory", {8500, 180, 2955, 2565}, {});
    ui::FileList* files = new ui::FileList(form.get(), "lstFile", {8500, 3000, 2235, 1650}, {});
    QTemporaryDir temp;
    QString dir = temp.path() + "/OVENS";
    std::string events;  // what the handlers saw, in order: "what=value;"
    int answer = -2;     // what the key handler returns; -2: the code it was handed

    void Record(const std::string& what, int value) { events += what + "=" + std::to_string(value) + ";"; }
    void SetUp() override {
        oven->Add(form.get(), 0, {300, 2400, 915, 315}, "Gas", FontKind::A);
        oven->Add(form.get(), 1, {1300, 2400, 1275, 315}, "Electric", FontKind::A);
        buttons->Add(form.get(), 0, {300, 5000, 2295, 675}, "Quit", FontKind::B);
        buttons->Add(form.get(), 1, {3000, 5000, 2295, 675}, "Save", FontKind::B);
        for (const char* entry : {"HIGH", "LOW", "OFF"}) fan->AddItem(entry);
        for (int row = 0; row < 110; ++row)  // "> Page 1", "0" to "9", "> Page 2", ...
            list->AddItem(row % 11 ? QString::number(row % 11 - 1) : QString("> Page %1").arg(row / 11 + 1));
        for (const char* sub : {"old", "Archive"}) ASSERT_TRUE(QDir(dir).mkpath(sub));
        for (const char* file : {"MENU0002.ovn", "menu0001.ovn", "ZETA.OVN", "Alpha.Ovn", "a.txt", "M.ovn.bak", "ovn"})
            ASSERT_TRUE(QFile(dir + "/" + file).open(QIODevice::WriteOnly));
        files->SetPattern("*.ovn");
        files->SetPath(dir);
        fan->onClick = [this] { Record("fan", fan->ListIndex()); };
        roast->onClick = [this] { Record("roast", roast->Value()); };
        list->onClick = [this] { Record("list", list->ListIndex()); };
        files->onClick = [this] { Record("file", files->ListIndex()); };
        oven->onClick = [this](int index) { Record("oven", index * 10 + oven->Selected()); };
        buttons->onClick = [this](int index) { Record("button", index); };
        box->onKeyPress = [this](int code) {
            Record("key", code);
            return answer == -2 ? code : answer;
        };
        box->onLostFocus = [this] { Record("lost", 0); };
        form->ShowModeless();
        QApplication::setActiveWindow(form.get());
    }
    int Line() const {  // the list's line that is highlighted, selected and current at once; -9 when they disagree
        const auto selected = list->selectedItems();
        const int row = selected.isEmpty() ? -1 : selected.size() == 1 ? list->row(selected.front()) : -9;
        return list->ListIndex() == row && list->currentRow() == row ? row : -9;
    }
    static QPoint Centre(QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }
    static void Click(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, Centre(list, row));
    }
    static QString Lines(const QListWidget& list, int from = 0) {
        QStringList lines;
        for (int i = from; i < list.count(); ++i) lines << list.item(i)->text().trimmed();
        return lines.join(';');
    }
};

TEST_F(Controls, ProgramChangesRaiseTheClickBeforeReturningOrNothing) {
    const std::tuple<const char*, std::function<bool()>, bool, const char*> rows[] = {
        {"ComboIndex", [&] { return fan->SetListIndex(2); }, true, "fan=2;"},
        {"ComboSameIndex", [&] { return fan->SetListIndex(0); }, false, ""},
        {"ComboNone", [&] { return fan->SetListIndex(-1); }, true, "fan=-1;"},
        {"ComboOutOfRange", [&] { return fan->SetListIndex(3); }, true, "fan=-1;"},
        {"ComboText", [&] { return fan->SetText("LOW"); }, true, "fan=1;"},
        {"ComboSameText", [&] { return fan->SetText("HIGH"); }, false, ""},
        {"ComboNoEntry", [&] { return fan->SetText("low"); }, true, "fan=-1;"},
        {"ListIndex", [&] { return list->SetListIndex(3); }, true, "list=3;"},
        {"ListSameIndex", [&] { return list->SetListIndex(1); }, false, ""},
        {"ListOutOfRange", [&] { return list->SetListIndex(999); }, true, "list=-1;"},
        {"CheckClear", [&] { return roast->SetValue(0); }, true, "roast=0;"},
        {"CheckSame", [&] { return roast->SetValue(1); }, false, ""},
        {"OptionOther", [&] { return oven->SetValue(1, true); }, true, "oven=11;"},
        {"OptionSame", [&] { return oven->SetValue(0, true); }, false, ""},
        {"OptionClearCleared", [&] { return oven->SetValue(1, false); }, false, ""},
    };
    for (const auto& [name, set, changed, expected] : rows) {
        fan->SetListIndex(0);
        list->SetListIndex(1);
        roast->SetValue(1);
        oven->SetValue(0, true);
        events.clear();
        EXPECT_EQ(set(), changed) << name;
        EXPECT_EQ(events, expected) << name;
    }
}

TEST_F(Controls, OptionGroupCanHaveNoChoiceButtonsAreNeverDefaultEnterAndEscapePressNothingSpaceDoes) {
    QTest::mouseClick(oven->Button(1), Qt::LeftButton);
    QTest::mouseClick(oven->Button(0), Qt::LeftButton);
    QTest::mouseClick(oven->Button(0), Qt::LeftButton);  // the chosen one stays chosen, no event
    EXPECT_EQ(events, "oven=11;oven=0;");
    EXPECT_EQ((std::pair{oven->SetValue(0, false), oven->Selected()}), std::pair(true, -1));
    EXPECT_FALSE(oven->Value(0));
    EXPECT_FALSE(oven->Button(0)->isChecked());
    EXPECT_FALSE(oven->Button(1)->isChecked());
    events.clear();
    ui::CommandButton* quit = buttons->Button(0);
    EXPECT_FALSE(quit->autoDefault());
    EXPECT_FALSE(quit->isDefault());
    quit->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(quit, key);
    EXPECT_EQ(events, "");
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(quit, Qt::Key_Space);
    QTest::mouseClick(buttons->Button(1), Qt::LeftButton);
    QTest::mouseClick(roast, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(events, "button=0;button=1;roast=1;");
}

TEST_F(Controls, ComboShowsNoChoiceForANonEntryOrWhenFilledTakesTheMouseAndTheWheelOnlyWithFocus) {
    fan->showPopup();
    QAbstractItemView* popup = fan->view();
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(popup->model()->index(2, 0)).center());
    EXPECT_EQ(std::pair(fan->ListIndex(), fan->currentText()), std::pair(2, QString("OFF")));
    const QPointF at(fan->width() / 2.0, fan->height() / 2.0);
    QWheelEvent wheel(at, fan->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    list->setFocus();
    QApplication::sendEvent(fan, &wheel);
    fan->setFocus();
    QApplication::sendEvent(fan, &wheel);
    fan->Clear();
    EXPECT_FALSE(fan->SetListIndex(-1));  // empty: nothing to change
    fan->AddItem("HIGH");
    EXPECT_EQ(std::pair(fan->ListIndex(), fan->currentText()), std::pair(-1, QString()));  // shown empty
    EXPECT_EQ(events, "fan=2;fan=1;");
}

// Lists: a click on every change of the line only. Text box: the key handler for each key with a code (-1: none).
TEST_F(Controls, KeysOnTheFocusedControlRaiseTheirEvents) {
    const std::tuple<const char*, QWidget*, int, Qt::Key, Qt::KeyboardModifiers, int> rows[] = {
        // name, control, line before, key, modifiers, line (or key code) after
        {"ComboDown", fan, 0, Qt::Key_Down, {}, 1},
        {"ComboTypeAhead", fan, 0, Qt::Key_O, {}, 2},
        {"ListDown", list, 3, Qt::Key_Down, {}, 4},
        {"ListCtrlDown", list, 3, Qt::Key_Down, Qt::ControlModifier, 4},
        {"ListHome", list, 50, Qt::Key_Home, {}, 0},
        {"ListEnd", list, 50, Qt::Key_End, {}, 109},
        {"ListTypeAheadPage", list, 3, Qt::Key_Greater, Qt::ShiftModifier, 11},
        {"ListTypeAheadWraps", list, 108, Qt::Key_1, {}, 2},
        {"ListSpace", list, 3, Qt::Key_Space, {}, 3},
        {"FileDownFromNone", files, -1, Qt::Key_Down, {}, 0},
        {"FileTypeAheadIgnoresCase", files, 0, Qt::Key_Z, {}, 3},
        {"FileTypeAheadNext", files, 1, Qt::Key_M, {}, 2},
        {"TextBackspace", box, -1, Qt::Key_Backspace, {}, 8},
        {"TextDelete", box, -1, Qt::Key_Delete, {}, 127},
        {"TextReturn", box, -1, Qt::Key_Return, {}, 13},
        {"TextEnter", box, -1, Qt::Key_Enter, Qt::KeypadModifier, 13},
        {"TextCtrlA", box, -1, Qt::Key_A, Qt::ControlModifier, 1},
        {"TextShift", box, -1, Qt::Key_Shift, {}, -1},
    };
    answer = 0;  // the text box drops every key: only the codes matter here
    for (const auto& [name, control, start, key, modifiers, to] : rows) {
        fan->SetListIndex(start);
        list->SetListIndex(start);
        files->SetListIndex(start);
        control->setFocus();
        events.clear();
        QTest::keyClick(control, key, modifiers);
        const char* what = control == fan ? "fan=" : control == list ? "list=" : control == files ? "file=" : "key=";
        const int now = control == fan ? fan->ListIndex() : control == list ? Line() : files->ListIndex();
        EXPECT_EQ(std::pair(events, control == box ? to : now),
                  std::pair(to == start ? "" : what + std::to_string(to) + ";", to))
            << name;
    }
}

TEST_F(Controls, ListClicksOnAnyLineAndPageKeysRaiseClickNothingLeavesItWithoutSelectionClearRaisesNothing) {
    EXPECT_EQ(std::pair(Line(), files->ListIndex()), std::pair(-1, -1));  // filling selects nothing
    Click(files, 1);
    Click(files, 1);
    Click(list, 1);
    Click(list, 1);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, Centre(list, 0));  // one event
    QTest::keyClick(list, Qt::Key_PageDown);
    const int down = list->ListIndex();
    QTest::keyClick(list, Qt::Key_PageUp);
    EXPECT_GT(down, 1);
    EXPECT_EQ(events, "file=1;file=1;list=1;list=1;list=0;list=" + std::to_string(down) + ";list=0;");
    Click(list, 0, Qt::ControlModifier);
    EXPECT_EQ(Line(), 0);
    Click(list, 2, Qt::ControlModifier);
    EXPECT_EQ(Line(), 2);
    while (list->ListCount() > 3) delete list->takeItem(3);  // a short list leaves empty space below
    events.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 3));
    EXPECT_EQ(Line(), 2);
    list->Clear();
    QTest::keyClick(list, Qt::Key_Down);  // no line, no event
    EXPECT_EQ(Line(), -1);
    EXPECT_EQ(events, "");
}

TEST_F(Controls, ListHandlerPuttingTheSelectionBackAsOnCancelLeavesEverythingInAgreement) {
    list->SetListIndex(2);
    list->onClick = [this] {
        Record("list", list->ListIndex());
        if (list->ListIndex() != 2) list->SetListIndex(2);
    };
    Click(list, 5);
    EXPECT_EQ(Line(), 2);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(Line(), 2);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, Centre(list, 6));
    QTest::mouseMove(list->viewport(), Centre(list, 8));  // dragging over other lines changes nothing
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, Centre(list, 8));
    EXPECT_EQ(Line(), 2);
    EXPECT_EQ(events, "list=2;list=5;list=2;list=3;list=2;list=6;list=2;");
}

// What the handler's answer to "X" does to "ABCD", the cursor after "B" or "BC" selected.
TEST_F(Controls, TextBoxHandlersAnswerEditsAsTheCodeSaysTextComesOnlyThroughThemAndLeavingRaisesLostFocus) {
    const std::tuple<const char*, bool, int, const char*> rows[] = {
        {"Dropped", false, 0, "ABCD"},
        {"Replaced", false, 'q', "ABqCD"},
        {"Backspace", false, 8, "ACD"},
        {"Delete", false, 127, "ABD"},
        {"EnterInsertsNothing", false, 13, "ABCD"},
        {"ReplacesSelection", true, 'q', "AqD"},
        {"BackspaceSelection", true, 8, "AD"},
    };
    for (const auto& [name, selectBC, result, text] : rows) {
        box->SetText("ABCD");
        if (selectBC) {
            box->setSelection(1, 2);
        } else {
            box->setCursorPosition(2);
        }
        answer = result;
        QTest::keyClick(box, Qt::Key_X);
        EXPECT_EQ(box->Text(), text) << name;
    }
    events.clear();
    QApplication::clipboard()->setText("PASTED");
    box->setFocus();
    box->SetText("AB");  // raises no key event
    box->selectAll();
    answer = 0;                 // the filters drop control codes
    QTest::keyClick(box, 'A');  // a capital (QTest would send "a" for Key_A with Shift)
    for (Qt::Key key : {Qt::Key_X, Qt::Key_V, Qt::Key_Z}) QTest::keyClick(box, key, Qt::ControlModifier);
    for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Delete}) QTest::keyClick(box, key, Qt::ShiftModifier);
    const auto send = [this](QEvent&& event) {  // whether the box took the event
        QApplication::sendEvent(box, &event);
        return event.isAccepted();
    };
    send(QContextMenuEvent(QContextMenuEvent::Mouse, {5, 5}, box->mapToGlobal(QPoint(5, 5))));  // would not wait
    QMimeData data;
    data.setText("DROPPED");
    EXPECT_FALSE(send(QDragEnterEvent({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier)));
    send(QDropEvent(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier));
    QInputMethodEvent compose;
    compose.setCommitString("COMMITTED");
    send(std::move(compose));
    EXPECT_EQ(box->Text(), "AB");
    EXPECT_FALSE(QApplication::activePopupWidget() || box->testAttribute(Qt::WA_InputMethodEnabled));
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(box->selectedText(), "A");  // navigation still works
    QTest::keyClick(box, Qt::Key_Tab);
    box->setFocus();
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(events, "key=65;key=24;key=22;key=26;key=127;lost=0;lost=0;");
}

std::string Names(const std::vector<ui::Volume>& volumes) {  // "name=mount point;" each
    std::string names;
    for (const ui::Volume& volume : volumes) names += (volume.name + "=" + volume.mountPoint + ";").toStdString();
    return names;
}

TEST(DriveList, MountTablesKeepRealFileSystemsNamedByLabelAndTheLongestMountPointPrefixIsChosenSilently) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"Pseudo", "proc /proc proc rw 0 0\nsysfs /sys sysfs rw 0 0\ntmpfs /run tmpfs rw 0 0\n", "/=/;"},
        {"Disks", "/dev/sda3 /home btrfs rw 0 0\n/dev/sda2 / ext4 rw 0 0\n", "/=/;/home=/home;"},
        {"Usb", "/dev/sdb1 /media/a/USB\\040STICK vfat rw 0 0\n", "/=/;/media/a/USB STICK=/media/a/USB STICK;"},
        {"Fuse", "/dev/sdc1 /run/media/a/D fuseblk rw 0 0\n", "/=/;/run/media/a/D=/run/media/a/D;"},
        {"OverlayRoot", "overlay / overlay rw 0 0\n/dev/vda /work ext4 rw 0 0\n", "/=/;/work=/work;"},
        {"MountedTwice", "/dev/vdb /data xfs rw 0 0\n/dev/vdb /data xfs rw 0 0\n", "/=/;/data=/data;"},
        {"Garbage", "no\n\n  \nx y\n", "/=/;"},
    };
    for (const auto& [name, table, volumes] : rows) EXPECT_EQ(Names(ui::VolumesFromMountTable(table)), volumes) << name;
    QTemporaryDir temp;
    const QString dev = temp.path() + "/sdb1";
    const QString table = dev + " /media/usb vfat rw 0 0\n/dev/sdc1 /media/d exfat rw 0 0\n";
    ASSERT_TRUE(QFile(dev).open(QIODevice::WriteOnly) && QDir(temp.path()).mkdir("by-label"));
    ASSERT_TRUE(QFile::link("../sdb1", temp.path() + "/by-label/USB\\x20STICK"));
    auto volumes = ui::VolumesFromMountTable(table);
    ui::NameByLabels(volumes, table, temp.path() + "/by-label");
    ui::NameByLabels(volumes, table, temp.path() + "/missing");  // no label directory: names stay
    EXPECT_EQ(Names(volumes), "/=/;/media/d=/media/d;USB STICK=/media/usb;");
    EXPECT_EQ(ui::MountedVolumes().front().mountPoint, "/");
    for (const ui::Volume& volume : ui::MountedVolumes()) EXPECT_TRUE(QFileInfo(volume.mountPoint).isDir());
    ui::Form form("frmFiles", 5550, 3810);
    ui::DriveList drives(&form, "lstDrive", {120, 180, 2955, 315}, ui::FontKind::Default);
    drives.SetVolumes({{"/", "/"}, {"HOME", "/home"}, {"/home/a/ext", "/home/a/ext"}, {"/media", "/media"}});
    QStringList changes;
    drives.onChange = [&] { changes << drives.Drive(); };
    QStringList chosen;  // the drive each path selects
    for (const char* path :
         {"/home/a/OVENS", "/home/a/ext/OVENS", "/home/a/extra", "/homework", "/", "/media/../home/a"}) {
        drives.SelectForPath(path);
        chosen << drives.Drive();
    }
    EXPECT_EQ(chosen.join(';'), "/home;/home/a/ext;/home;/;/;/home");
    EXPECT_EQ(drives.currentText(), "HOME");
    EXPECT_TRUE(changes.isEmpty()) << "selecting for a path raises no change";
}

TEST_F(Controls, FileListShowsMenuFilesDirectoryListOpensOnEnterOrDoubleClickUnreadablePathsShowNothing) {
    EXPECT_EQ(Lines(*files), "Alpha.Ovn;menu0001.ovn;MENU0002.ovn;ZETA.OVN");
    QStringList opened;
    dirs->onChange = [&] { opened << dirs->Path(); };
    dirs->SetPath(dir);
    dirs->SetPath(dir + "/");  // the same directory again: no change
    const int depth = static_cast<int>(dir.count('/'));
    EXPECT_EQ(std::pair(Lines(*dirs, depth), dirs->currentRow()), std::pair(QString("OVENS;Archive;old"), depth));
    dirs->setFocus();
    QTest::keyClick(dirs, Qt::Key_Down);  // onto "Archive": moving the highlight opens nothing
    QTest::keyClick(dirs, Qt::Key_Return);
    QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, Centre(dirs, dirs->currentRow() - 1));
    EXPECT_EQ(opened, (QStringList{dir, dir + "/Archive", dir}));
    for (const QString& path : {dir + "/a.txt", temp.path() + "/nowhere/at/all"}) {
        files->SetPath(path);
        dirs->SetPath(path);
        EXPECT_FALSE(files->SetListIndex(0));
        EXPECT_EQ(std::pair(dirs->Path(), dirs->count()),
                  std::pair(path, static_cast<int>(path.count('/')) + 1));  // ancestors only
        QTest::keyClick(files, Qt::Key_Down);
        EXPECT_EQ(events, "");
    }
}

}  // namespace
