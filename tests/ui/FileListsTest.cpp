// Drive, directory and file lists on real directories made per test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ui/FileLists.h"
#include "ui/Form.h"

namespace {

struct MountCase {
    const char* name;
    const char* table;
    std::vector<std::pair<QString, QString>> volumes;  // name, mount point
};

class MountTables : public ::testing::TestWithParam<MountCase> {};

TEST_P(MountTables, KeepRealFileSystemsAndAlwaysTheRoot) {
    const MountCase& row = GetParam();
    std::vector<std::pair<QString, QString>> got;
    for (const ui::Volume& volume : ui::VolumesFromMountTable(row.table))
        got.emplace_back(volume.name, volume.mountPoint);
    EXPECT_EQ(got, row.volumes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MountTables,
    ::testing::Values(MountCase{"Desktop",
                                "proc /proc proc rw 0 0\n"
                                "sysfs /sys sysfs rw 0 0\n"
                                "/dev/sda2 / ext4 rw 0 0\n"
                                "tmpfs /run tmpfs rw 0 0\n"
                                "/dev/sda3 /home btrfs rw 0 0\n"
                                "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                                "/dev/sdb1 /media/anna/USB\\040STICK vfat rw 0 0\n"
                                "/dev/sdc1 /run/media/anna/DISK fuseblk rw 0 0\n",
                                {{"/", "/"},
                                 {"/home", "/home"},
                                 {"/media/anna/USB STICK", "/media/anna/USB STICK"},
                                 {"/run/media/anna/DISK", "/run/media/anna/DISK"}}},
                      MountCase{"ContainerRootOnOverlay",
                                "overlay / overlay rw 0 0\nproc /proc proc rw 0 0\n/dev/vda /work ext4 rw 0 0\n",
                                {{"/", "/"}, {"/work", "/work"}}},
                      MountCase{"MountedTwice",
                                "/dev/vda / ext4 rw 0 0\n/dev/vdb /data xfs rw 0 0\n/dev/vdb /data xfs rw 0 0\n",
                                {{"/", "/"}, {"/data", "/data"}}},
                      MountCase{"EmptyTable", "", {{"/", "/"}}}, MountCase{"Garbage", "no\n\n  \nx y\n", {{"/", "/"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DriveList, VolumesAreNamedByTheirLabels) {
    QTemporaryDir temp;
    const QString root = temp.path();
    ASSERT_TRUE(QDir(root).mkpath("dev") && QDir(root).mkpath("by-label"));
    for (const char* device : {"sdb1", "sdc1"}) {
        QFile f(root + "/dev/" + device);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link("../dev/sdb1", root + "/by-label/USB\\x20STICK"));
    const QString table = QString(
                              "%1/dev/sda1 / ext4 rw 0 0\n%1/dev/sdb1 /media/usb vfat rw 0 0\n"
                              "%1/dev/sdc1 /media/disk exfat rw 0 0\n")
                              .arg(root);
    auto volumes = ui::VolumesFromMountTable(table);
    ui::NameByLabels(volumes, table, root + "/by-label");
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].name, "/");
    EXPECT_EQ(volumes[1].name, "/media/disk");
    EXPECT_EQ(volumes[2].name, "USB STICK");
    EXPECT_EQ(volumes[2].mountPoint, "/media/usb");
    ui::NameByLabels(volumes, table, root + "/missing");  // no label directory: names stay
    EXPECT_EQ(volumes[2].name, "USB STICK");
}

TEST(DriveList, MachineVolumesAreDirectoriesAndIncludeTheRoot) {
    const auto volumes = ui::MountedVolumes();
    ASSERT_FALSE(volumes.empty());
    bool root = false;
    for (const ui::Volume& volume : volumes) {
        EXPECT_TRUE(QFileInfo(volume.mountPoint).isDir()) << volume.mountPoint.toStdString();
        root = root || volume.mountPoint == "/";
    }
    EXPECT_TRUE(root);
}

TEST(DriveList, SelectsTheLongestMountPointPrefixSilentlyAndUserChoicesRaiseChange) {
    ui::Form form("frmFiles", 5550, 3810);
    ui::DriveList drives(&form, "lstDrive", {120, 180, 2955, 315}, ui::FontKind::Default);
    drives.SetVolumes({{"/", "/"}, {"HOME", "/home"}, {"/home/anna/ext", "/home/anna/ext"}, {"/media", "/media"}});
    QStringList changes;
    drives.onChange = [&] { changes << drives.Drive(); };
    const std::pair<const char*, const char*> table[] = {
        {"/home/anna/OVENS", "/home"},
        {"/home/anna/ext/OVENS", "/home/anna/ext"},
        {"/home/anna/extra", "/home"},
        {"/homework/OVENS", "/"},
        {"/", "/"},
        {"/media/../home/anna", "/home"},
    };
    for (const auto& [path, drive] : table) {
        drives.SelectForPath(path);
        EXPECT_EQ(drives.Drive(), drive) << path;
    }
    EXPECT_EQ(drives.currentText(), "HOME");
    EXPECT_TRUE(changes.isEmpty());
    form.ShowModeless();
    drives.setFocus();
    QTest::keyClick(&drives, Qt::Key_Down);
    EXPECT_EQ(changes, QStringList{"/home/anna/ext"});
}

class FileListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = temp.path();
        for (const char* dir : {"OVENS", "OVENS/old", "OVENS/Archive", "other"}) ASSERT_TRUE(QDir(root).mkpath(dir));
        for (const char* file :
             {"MENU0002.ovn", "menu0001.ovn", "ZETA.OVN", "Alpha.Ovn", "notes.txt", "MENU0003.ovn.bak", "ovn"}) {
            QFile f(root + "/OVENS/" + file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        form = std::make_unique<ui::Form>("frmMEDrvDirFil100", 5550, 3810);
        dirs = new ui::DirectoryList(form.get(), "lstDirectory", {120, 540, 2955, 2565}, ui::FontKind::Default);
        files = new ui::FileList(form.get(), "lstFile", {3180, 540, 2235, 1650}, ui::FontKind::Default);
        files->SetPattern("*.ovn");
        files->onClick = [this] { picked.push_back(files->List(files->ListIndex())); };
        form->ShowModeless();
        QApplication::setActiveWindow(form.get());
    }

    QStringList Lines(const QListWidget& list) {
        QStringList lines;
        for (int i = 0; i < list.count(); ++i) lines << list.item(i)->text();
        return lines;
    }

    QTemporaryDir temp;
    QString root;
    std::unique_ptr<ui::Form> form;
    ui::DirectoryList* dirs = nullptr;
    ui::FileList* files = nullptr;
    QStringList picked;  // entries the click handler read
};

TEST_F(FileListsTest, FilePatternIgnoresCaseAndNamesAreBareAndSorted) {
    files->SetPath(root + "/OVENS");
    EXPECT_EQ(Lines(*files), (QStringList{"Alpha.Ovn", "menu0001.ovn", "MENU0002.ovn", "ZETA.OVN"}));
    EXPECT_EQ(files->ListCount(), 4);
    EXPECT_EQ(files->ListIndex(), -1);
    EXPECT_EQ(files->Path(), root + "/OVENS");
    EXPECT_TRUE(picked.isEmpty());
}

struct FileKeyCase {
    const char* name;
    int start;
    Qt::Key key;
    int expected;
};

class FileListKeys : public FileListsTest, public ::testing::WithParamInterface<FileKeyCase> {};

TEST_P(FileListKeys, ClickFollowsEveryChangeOfTheSelectedEntry) {
    const FileKeyCase& row = GetParam();
    files->SetPath(root + "/OVENS");
    files->setFocus();
    if (row.start >= 0) files->SetListIndex(row.start);
    picked.clear();
    QTest::keyClick(files, row.key);
    EXPECT_EQ(files->ListIndex(), row.expected);
    if (row.expected == row.start) {
        EXPECT_TRUE(picked.isEmpty());
    } else {
        EXPECT_EQ(picked, QStringList{files->List(row.expected)});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileListKeys,
    ::testing::Values(FileKeyCase{"DownFromNone", -1, Qt::Key_Down, 0}, FileKeyCase{"Down", 0, Qt::Key_Down, 1},
                      FileKeyCase{"Up", 2, Qt::Key_Up, 1}, FileKeyCase{"End", 0, Qt::Key_End, 3},
                      FileKeyCase{"Home", 3, Qt::Key_Home, 0}, FileKeyCase{"TypeAheadIgnoresCase", 0, Qt::Key_Z, 3},
                      FileKeyCase{"TypeAheadNext", 1, Qt::Key_M, 2}, FileKeyCase{"DownAtEnd", 3, Qt::Key_Down, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileListsTest, MouseClickPicksTheEntryTheCurrentOneToo) {
    files->SetPath(root + "/OVENS");
    const QPoint second = files->visualItemRect(files->item(1)).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(picked, (QStringList{"menu0001.ovn", "menu0001.ovn"}));
}

TEST_F(FileListsTest, DirectoryListShowsAncestorsAndSubdirectories) {
    int changes = 0;
    dirs->onChange = [&] { ++changes; };
    dirs->SetPath(root + "/OVENS");
    EXPECT_EQ(dirs->Path(), root + "/OVENS");
    EXPECT_EQ(changes, 1);
    const QStringList lines = Lines(*dirs);
    const int depth = static_cast<int>(root.count('/'));
    ASSERT_EQ(lines.size(), depth + 2 + 2);
    EXPECT_EQ(lines.front(), "/");
    EXPECT_EQ(lines[depth + 1].trimmed(), "OVENS");
    EXPECT_EQ(lines[depth + 2].trimmed(), "Archive");
    EXPECT_EQ(lines[depth + 3].trimmed(), "old");
    EXPECT_EQ(dirs->currentRow(), depth + 1);  // the directory itself is the current line
    dirs->SetPath(root + "/OVENS/");
    EXPECT_EQ(changes, 1);  // the same directory again: no change
}

TEST_F(FileListsTest, EnterAndDoubleClickOpenAnEntry) {
    dirs->SetPath(root + "/OVENS");
    QStringList opened;
    dirs->onChange = [&] { opened << dirs->Path(); };
    dirs->setFocus();
    QTest::keyClick(dirs, Qt::Key_Down);  // onto "Archive"
    EXPECT_TRUE(opened.isEmpty());        // moving the highlight opens nothing
    QTest::keyClick(dirs, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{root + "/OVENS/Archive"});
    const int parentLine = dirs->currentRow() - 1;
    QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualItemRect(dirs->item(parentLine)).center());
    EXPECT_EQ(opened, (QStringList{root + "/OVENS/Archive", root + "/OVENS"}));
}

TEST_F(FileListsTest, PathsThatCannotBeReadShowEmptyLists) {
    const QString plainFile = root + "/OVENS/notes.txt";
    const QString missing = root + "/nowhere/at/all";
    for (const QString& path : {plainFile, missing}) {
        files->SetPath(path);
        EXPECT_EQ(files->ListCount(), 0);
        EXPECT_FALSE(files->SetListIndex(0));
        dirs->SetPath(path);
        EXPECT_EQ(dirs->Path(), path);
        EXPECT_EQ(Lines(*dirs).size(), static_cast<int>(path.count('/')) + 1);  // ancestors only
        QTest::keyClick(files, Qt::Key_Down);
        EXPECT_TRUE(picked.isEmpty());
    }
}

TEST_F(FileListsTest, RootHasNoDoubleSeparator) {
    dirs->SetPath("/");
    EXPECT_EQ(dirs->Path(), "/");
    ASSERT_GT(dirs->count(), 1);
    dirs->setFocus();
    QTest::keyClick(dirs, Qt::Key_Down);
    QString opened;
    dirs->onChange = [&] { opened = dirs->Path(); };
    QTest::keyClick(dirs, Qt::Key_Return);
    EXPECT_TRUE(opened.startsWith('/'));
    EXPECT_FALSE(opened.startsWith("//"));
}

}  // namespace
