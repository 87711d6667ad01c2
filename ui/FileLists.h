// Drive, directory and file lists for the file chooser. On Linux the "drives"
// are the mounted volumes that hold a user's files (root, home, removable
// media, network shares), named by label or mount point.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <functional>
#include <vector>

#include "ui/Geometry.h"
#include "ui/PickList.h"

namespace ui {

struct Volume {
    QString name;        // what the user sees: label or mount point
    QString mountPoint;  // absolute path
};

// Parses a mount table in the format of /proc/self/mounts, keeping the file
// systems that hold a user's files: local ones (ext*, btrfs, xfs, vfat, exfat,
// ntfs*, ...), FUSE storage drivers (fuseblk, fuse.*) and network shares (cifs,
// smb3, nfs*, ...), and always "/"; sorted by mount point, named by mount point.
std::vector<Volume> VolumesFromMountTable(const QString& mountTableText);
// Names each volume by the label of its device, as found among the links of
// `byLabelDirectory` (/dev/disk/by-label); volumes without one keep their name.
void NameByLabels(std::vector<Volume>& volumes, const QString& mountTableText, const QString& byLabelDirectory);
// The volumes a chooser offers from a mount table: local mount points that are
// directories, every share and FUSE mount unlooked-at (never blocks), named by label.
std::vector<Volume> ListedVolumes(const QString& mountTableText, const QString& byLabelDirectory);
// The volumes of this machine: ListedVolumes of /proc/self/mounts and /dev/disk/by-label.
std::vector<Volume> MountedVolumes();

class DriveList : public QComboBox {
    Q_OBJECT
public:
    DriveList(QWidget* parent, const QString& name, Place place, FontKind font);
    void SetVolumes(std::vector<Volume> volumes);  // tests hand in their own
    const std::vector<Volume>& Volumes() const;
    // Selects the volume whose mount point is the longest prefix of `path`; raises no event.
    void SelectForPath(const QString& path);
    QString Drive() const;           // mount point of the chosen volume, "" when none
    std::function<void()> onChange;  // a new volume chosen (user or program)

protected:
    void wheelEvent(QWheelEvent* event) override;  // only with the focus

private:
    std::vector<Volume> volumes_;
    int chosen_ = -1;
};

class DirectoryList : public PickList {
    Q_OBJECT
public:
    DirectoryList(QWidget* parent, const QString& name, Place place, FontKind font);
    QString Path() const;
    // Shows `path` (its parents above it, its subdirectories below it) and raises onChange when it changed.
    // A path that cannot be read shows its parents only. Enter or a double click on a line opens it.
    void SetPath(const QString& path);
    std::function<void()> onChange;

protected:
    bool Activated(int row) override;  // opens the entry

private:
    QString path_;
};

class FileList : public PickList {
    Q_OBJECT
public:
    FileList(QWidget* parent, const QString& name, Place place, FontKind font);
    // Lists the files of `directory` that match the pattern, sorted without regard to case;
    // nothing when it cannot be read. Selects nothing and raises nothing.
    void SetPath(const QString& directory);
    QString Path() const;
    // "*.ext": matched without regard to case.
    void SetPattern(const QString& pattern);
    // List(index) is the bare file name as on disk.

private:
    void Fill();
    QString path_;
    QString pattern_ = QStringLiteral("*");
};

}  // namespace ui
