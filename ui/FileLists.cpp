#include "ui/FileLists.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <iterator>
#include <string_view>

#include "ui/Wheel.h"

namespace ui {

namespace {

// Kernel file systems on a disk, stick or card that hold a user's files.
constexpr std::string_view kLocalFileSystems[] = {"ext2", "ext3",    "ext4", "btrfs",   "xfs",    "jfs",     "reiserfs",
                                                  "f2fs", "zfs",     "vfat", "msdos",   "exfat",  "ntfs",    "ntfs3",
                                                  "hfs",  "hfsplus", "udf",  "iso9660", "nilfs2", "bcachefs"};
// Shares served by another machine (or a virtual machine's host).
constexpr std::string_view kNetworkFileSystems[] = {"cifs", "smb3", "smbfs", "nfs",      "nfs4",
                                                    "ceph", "afs",  "9p",    "virtiofs", "davfs"};
// FUSE drivers that serve the desktop's own plumbing rather than files a user keeps.
constexpr std::string_view kSystemFuseDrivers[] = {"fuse.portal",       "fuse.gvfsd-fuse",         "fuse.lxcfs",
                                                   "fuse.snapfuse",     "fuse.squashfuse",         "fuse.kio-fuse",
                                                   "fuse.rofiles-fuse", "fuse.xdg-document-portal"};

template <std::size_t count>
bool IsOneOf(const QString& type, const std::string_view (&names)[count]) {
    const QByteArray name = type.toLatin1();
    const std::string_view wanted(name.constData(), static_cast<std::size_t>(name.size()));
    return std::find(std::begin(names), std::end(names), wanted) != std::end(names);
}

// How the drive list treats a mounted file system.
enum class MountKind {
    System,  // proc, sysfs, tmpfs, overlay layers, desktop FUSE plumbing, ...: left out
    Local,   // on a device of this machine
    Served,  // a network share or a FUSE driver (fuseblk too): its server may hang
};

MountKind KindOfMount(const QString& type) {
    if (IsOneOf(type, kLocalFileSystems)) return MountKind::Local;
    if (IsOneOf(type, kNetworkFileSystems)) return MountKind::Served;
    const bool fuse = type == QLatin1String("fuse") || type == QLatin1String("fuseblk") || type.startsWith("fuse.");
    if (fuse && !IsOneOf(type, kSystemFuseDrivers)) return MountKind::Served;
    return MountKind::System;
}

struct Mount {
    QString mountPoint;
    QString device;  // the table's first field: a device path, "server:/export", "//server/share", ...
    MountKind kind;
};

// Decodes byte escapes in file names: `prefix` followed by `digits` digits in `base`.
QString UnescapeBytes(const QString& text, const QByteArray& prefix, int digits, int base) {
    const QByteArray in = QFile::encodeName(text);
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const qsizetype codeAt = i + prefix.size();
        if (in.mid(i, prefix.size()) == prefix && codeAt + digits <= in.size()) {
            bool ok = false;
            const int code = in.mid(codeAt, digits).toInt(&ok, base);
            if (ok) {
                out += static_cast<char>(code);
                i = codeAt + digits - 1;
                continue;
            }
        }
        out += in[i];
    }
    return QFile::decodeName(out);
}

// The mount table writes space, tab, newline and backslash as octal escapes (\040).
QString UnescapeMountField(const QString& field) {
    return UnescapeBytes(field, "\\", 3, 8);
}

// udev names its label links with hexadecimal escapes (\x20).
QString UnescapeLabel(const QString& name) {
    return UnescapeBytes(name, "\\x", 2, 16);
}

}  // namespace

namespace {

// One entry per mount point a user may choose, in table order; "/" always, so
// that there is always one volume. Of a mount point mounted over, the last
// mount is the one in sight.
std::vector<Mount> MountsFromTable(const QString& mountTableText) {
    std::vector<Mount> mounts;
    for (const QString& line : mountTableText.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 3) continue;
        const QString mountPoint = UnescapeMountField(fields[1]);
        if (!mountPoint.startsWith(u'/')) continue;
        std::erase_if(mounts, [&](const Mount& mount) { return mount.mountPoint == mountPoint; });
        MountKind kind = KindOfMount(fields[2]);
        if (kind == MountKind::System && mountPoint == QLatin1String("/")) kind = MountKind::Local;
        if (kind != MountKind::System) mounts.push_back(Mount{mountPoint, UnescapeMountField(fields[0]), kind});
    }
    if (std::none_of(mounts.begin(), mounts.end(),
                     [](const Mount& mount) { return mount.mountPoint == QLatin1String("/"); }))
        mounts.push_back(Mount{QStringLiteral("/"), QString(), MountKind::Local});
    return mounts;
}

std::vector<Volume> SortedVolumes(const std::vector<Mount>& mounts) {
    std::vector<Volume> volumes;
    for (const Mount& mount : mounts) volumes.push_back(Volume{mount.mountPoint, mount.mountPoint});
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.mountPoint < b.mountPoint; });
    return volumes;
}

}  // namespace

std::vector<Volume> VolumesFromMountTable(const QString& mountTableText) {
    return SortedVolumes(MountsFromTable(mountTableText));
}

void NameByLabels(std::vector<Volume>& volumes, const QString& mountTableText, const QString& byLabelDirectory) {
    QHash<QString, QString> deviceOf;  // mount point -> device file
    for (const Mount& mount : MountsFromTable(mountTableText)) {
        // Only device files are looked up: a share's source ("server:/export",
        // "//server/share") is no file here, and a FUSE driver's may be a folder on a share.
        const bool deviceFile = mount.device.startsWith(QLatin1String("/dev/")) ||
                                (mount.kind == MountKind::Local && mount.device.startsWith(u'/'));
        if (deviceFile) deviceOf.insert(mount.mountPoint, mount.device);
    }
    QHash<QString, QString> labelOf;  // device, links resolved -> label
    QDirIterator links(byLabelDirectory, QDir::Files | QDir::System);
    while (links.hasNext()) {
        links.next();
        const QString device = links.fileInfo().canonicalFilePath();
        if (!device.isEmpty()) labelOf.insert(device, UnescapeLabel(links.fileName()));
    }
    for (Volume& volume : volumes) {
        const QString device = deviceOf.value(volume.mountPoint);
        if (device.isEmpty()) continue;
        const QString label = labelOf.value(QFileInfo(device).canonicalFilePath());
        if (!label.isEmpty()) volume.name = label;
    }
}

std::vector<Volume> ListedVolumes(const QString& mountTableText, const QString& byLabelDirectory) {
    std::vector<Mount> mounts = MountsFromTable(mountTableText);
    // Bind mounts of single files (as in containers) are no volumes. Only local
    // mount points are looked at: a look at a share whose server is gone, or at
    // a stuck FUSE driver, would freeze the chooser.
    std::erase_if(mounts, [](const Mount& mount) {
        return mount.kind == MountKind::Local && !QFileInfo(mount.mountPoint).isDir();
    });
    std::vector<Volume> volumes = SortedVolumes(mounts);
    if (volumes.empty()) volumes.push_back(Volume{QStringLiteral("/"), QStringLiteral("/")});
    NameByLabels(volumes, mountTableText, byLabelDirectory);
    return volumes;
}

std::vector<Volume> MountedVolumes() {
    QFile table(QStringLiteral("/proc/self/mounts"));
    QString text;
    if (table.open(QIODevice::ReadOnly)) text = QString::fromUtf8(table.readAll());
    return ListedVolumes(text, QStringLiteral("/dev/disk/by-label"));
}

// ---------------------------------------------------------------- DriveList

DriveList::DriveList(QWidget* parent, const QString& name, Place place, FontKind font) : QComboBox(parent) {
    SetUpControl(this, name, place);
    setFont(MakeFontForNames(font));
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == chosen_) return;
        chosen_ = index;
        if (onChange) onChange();
    });
    SetVolumes(MountedVolumes());
}

void DriveList::SetVolumes(std::vector<Volume> volumes) {
    const QSignalBlocker blocker(this);
    volumes_ = std::move(volumes);
    clear();
    for (const Volume& volume : volumes_) addItem(volume.name);
    setCurrentIndex(-1);
    chosen_ = -1;
}

const std::vector<Volume>& DriveList::Volumes() const {
    return volumes_;
}

namespace {
bool IsUnder(const QString& path, const QString& mountPoint) {
    if (mountPoint == QLatin1String("/")) return path.startsWith(u'/');
    return path == mountPoint || path.startsWith(mountPoint + u'/');
}
}  // namespace

void DriveList::SelectForPath(const QString& path) {
    const QString clean = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
    int best = -1;
    for (int i = 0; i < static_cast<int>(volumes_.size()); ++i) {
        const QString& mount = volumes_[static_cast<std::size_t>(i)].mountPoint;
        if (!IsUnder(clean, mount)) continue;
        if (best < 0 || mount.size() > volumes_[static_cast<std::size_t>(best)].mountPoint.size()) best = i;
    }
    const QSignalBlocker blocker(this);
    setCurrentIndex(best);
    chosen_ = best;
}

QString DriveList::Drive() const {
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(volumes_.size())) return QString();
    return volumes_[static_cast<std::size_t>(index)].mountPoint;
}

void DriveList::wheelEvent(QWheelEvent* event) {
    if (RefuseWheelWithoutFocus(*this, *event)) return;
    QComboBox::wheelEvent(event);
}

// ---------------------------------------------------------------- DirectoryList

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kIndentPerLevel = 2;
}  // namespace

DirectoryList::DirectoryList(QWidget* parent, const QString& name, Place place, FontKind font)
    : PickList(parent, name, place, MakeFontForNames(font)) {}

QString DirectoryList::Path() const {
    return path_;
}

void DirectoryList::SetPath(const QString& path) {
    const QString clean = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
    const bool changed = clean != path_;
    path_ = clean;

    clear();
    // The directory's ancestors from the root down, the directory itself, then its subdirectories.
    QStringList parts = clean.split(u'/', Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    auto addLine = [this](const QString& text, int depth, const QString& full) {
        auto* line = new QListWidgetItem(QString(depth * kIndentPerLevel, u' ') + text, this);
        line->setData(kPathRole, full);
    };
    addLine(QStringLiteral("/"), 0, walked);
    int depth = 0;
    for (const QString& part : parts) {
        walked = walked == QLatin1String("/") ? walked + part : walked + u'/' + part;
        addLine(part, ++depth, walked);
    }
    const int currentLine = count() - 1;
    QStringList children = QDir(clean).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        addLine(child, depth + 1, clean == QLatin1String("/") ? clean + child : clean + u'/' + child);
    }
    MoveTo(currentLine);
    if (changed && onChange) onChange();
}

bool DirectoryList::Activated(int row) {
    const QListWidgetItem* line = item(row);
    if (line == nullptr) return false;
    SetPath(line->data(kPathRole).toString());
    return true;
}

// ---------------------------------------------------------------- FileList

FileList::FileList(QWidget* parent, const QString& name, Place place, FontKind font)
    : PickList(parent, name, place, MakeFontForNames(font)) {}

void FileList::SetPath(const QString& directory) {
    path_ = directory;
    Fill();
}

QString FileList::Path() const {
    return path_;
}

void FileList::SetPattern(const QString& pattern) {
    pattern_ = pattern;
    Fill();
}

void FileList::Fill() {
    clear();
    if (path_.isEmpty()) return;
    // Menus copied from other systems may be named *.OVN.
    const QRegularExpression anchored = QRegularExpression::fromWildcard(pattern_, Qt::CaseInsensitive);
    QStringList names;
    for (const QString& name : QDir(path_).entryList(QDir::Files)) {
        if (anchored.match(name).hasMatch()) names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    addItems(names);
}

}  // namespace ui
