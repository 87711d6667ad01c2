// Drive, directory and file lists on mount tables and directories made per test.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "UiTest.h"
#include "ui/FileLists.h"

namespace {

std::string Names(const std::vector<ui::Volume>& volumes) {  // "name=mount point;" each
    std::string names;
    for (const ui::Volume& volume : volumes) names += (volume.name + "=" + volume.mountPoint + ";").toStdString();
    return names;
}

TEST(DriveList, MountTablesKeepRealFileSystemsNamedByLabelAndAlwaysTheRoot) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"Pseudo", "proc /proc proc rw 0 0\nsysfs /sys sysfs rw 0 0\ntmpfs /run tmpfs rw 0 0\n", "/=/;"},
        {"Disks", "/dev/sda3 /home btrfs rw 0 0\n/dev/sda2 / ext4 rw 0 0\n", "/=/;/home=/home;"},
        {"Usb", "/dev/sdb1 /media/a/USB\\040STICK vfat rw 0 0\n", "/=/;/media/a/USB STICK=/media/a/USB STICK;"},
        {"Fuse", "/dev/sdc1 /run/media/a/D fuseblk rw 0 0\n", "/=/;/run/media/a/D=/run/media/a/D;"},
        {"OverlayRoot", "overlay / overlay rw 0 0\n/dev/vda /work ext4 rw 0 0\n", "/=/;/work=/work;"},
        {"MountedTwice", "/dev/vdb /data xfs rw 0 0\n/dev/vdb /data xfs rw 0 0\n", "/=/;/data=/data;"},
        {"Empty", "", "/=/;"},
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
}

TEST(DriveList, SelectsTheLongestMountPointPrefixSilentlyAndUserChoicesRaiseChange) {
    ui::Form form("frmFiles", 5550, 3810);
    ui::DriveList drives(&form, "lstDrive", {120, 180, 2955, 315}, ui::FontKind::Default);
    drives.SetVolumes({{"/", "/"}, {"HOME", "/home"}, {"/home/a/ext", "/home/a/ext"}, {"/media", "/media"}});
    QStringList changes;
    drives.onChange = [&] { changes << drives.Drive(); };
    auto driveFor = [&](const char* path) { return drives.SelectForPath(path), drives.Drive(); };
    for (auto [path, drive] : {std::pair{"/home/a/OVENS", "/home"},
                               {"/home/a/ext/OVENS", "/home/a/ext"},
                               {"/home/a/extra", "/home"},
                               {"/homework", "/"},
                               {"/", "/"},
                               {"/media/../home/a", "/home"}})
        EXPECT_EQ(driveFor(path), drive) << path;
    EXPECT_EQ(drives.currentText(), "HOME");
    form.ShowModeless();
    drives.setFocus();
    QTest::keyClick(&drives, Qt::Key_Down);
    EXPECT_EQ(changes, QStringList{"/home/a/ext"});
}

class FileListsTest : public uitest::Window {
public:
    QTemporaryDir temp;
    QString dir = temp.path() + "/OVENS";
    ui::DirectoryList* dirs = new ui::DirectoryList(form.get(), "lstDirectory", {120, 540, 2955, 2565}, {});
    ui::FileList* files = new ui::FileList(form.get(), "lstFile", {3180, 540, 2235, 1650}, {});

    void SetUp() override {
        for (const char* sub : {"old", "Archive"}) ASSERT_TRUE(QDir(dir).mkpath(sub));
        for (const char* file : {"MENU0002.ovn", "menu0001.ovn", "ZETA.OVN", "Alpha.Ovn", "a.txt", "M.ovn.bak", "ovn"})
            ASSERT_TRUE(QFile(dir + "/" + file).open(QIODevice::WriteOnly));
        files->SetPattern("*.ovn");
        files->SetPath(dir);
        files->onClick = [this] { events += files->List(files->ListIndex()).toStdString() + ";"; };
        Show();
    }
    static QString Lines(const QListWidget& list, int from = 0) {
        QStringList lines;
        for (int i = from; i < list.count(); ++i) lines << list.item(i)->text().trimmed();
        return lines.join(';');
    }
};

TEST_F(FileListsTest, FileListShowsMenuFilesOfAnyCaseAndClickFollowsMouseAndKeys) {
    EXPECT_EQ(Lines(*files), "Alpha.Ovn;menu0001.ovn;MENU0002.ovn;ZETA.OVN");
    EXPECT_EQ(files->ListIndex(), -1);
    uitest::Click(files, 1);
    uitest::Click(files, 1);
    EXPECT_EQ(events, "menu0001.ovn;menu0001.ovn;");
    const uitest::KeyRow rows[] = {
        {"DownFromNone", files, -1, Qt::Key_Down, {}, 0},
        {"Down", files, 0, Qt::Key_Down, {}, 1},
        {"Up", files, 2, Qt::Key_Up, {}, 1},
        {"End", files, 0, Qt::Key_End, {}, 3},
        {"Home", files, 3, Qt::Key_Home, {}, 0},
        {"TypeAheadIgnoresCase", files, 0, Qt::Key_Z, {}, 3},
        {"TypeAheadNext", files, 1, Qt::Key_M, {}, 2},
        {"DownAtEnd", files, 3, Qt::Key_Down, {}, 3},
    };
    files->setFocus();
    for (const auto& [name, control, start, key, modifiers, to] : rows) {
        SCOPED_TRACE(name);
        files->SetListIndex(start);
        events.clear();
        QTest::keyClick(control, key, modifiers);
        EXPECT_EQ(files->ListIndex(), to);
        EXPECT_EQ(events, to == start ? "" : files->List(to).toStdString() + ";");
    }
}

TEST_F(FileListsTest, DirectoryListShowsAncestorsAndSubdirsOpensOnEnterOrDoubleClickAndUnreadablePathsShowNothing) {
    QStringList opened;
    dirs->onChange = [&] { opened << dirs->Path(); };
    dirs->SetPath(dir);
    dirs->SetPath(dir + "/");  // the same directory again: no change
    const int depth = static_cast<int>(dir.count('/'));
    EXPECT_EQ(Lines(*dirs, depth), "OVENS;Archive;old");
    EXPECT_EQ(dirs->currentRow(), depth);
    dirs->setFocus();
    QTest::keyClick(dirs, Qt::Key_Down);  // onto "Archive": moving the highlight opens nothing
    QTest::keyClick(dirs, Qt::Key_Return);
    QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, uitest::Centre(dirs, dirs->currentRow() - 1));
    EXPECT_EQ(opened, (QStringList{dir, dir + "/Archive", dir}));
    for (const QString& path : {dir + "/a.txt", temp.path() + "/nowhere/at/all"}) {
        files->SetPath(path);
        dirs->SetPath(path);
        EXPECT_EQ(files->ListCount(), 0);
        EXPECT_FALSE(files->SetListIndex(0));
        EXPECT_EQ(dirs->Path(), path);
        EXPECT_EQ(dirs->count(), path.count('/') + 1);  // ancestors only
        QTest::keyClick(files, Qt::Key_Down);
        EXPECT_EQ(events, "");
    }
}

}  // namespace
