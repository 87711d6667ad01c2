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

// File systems that hold a user's files; everything else in the mount table
// (proc, sysfs, tmpfs, cgroup, overlay layers, ...) is the system's business.
constexpr std::string_view kRealFileSystems[] = {
    "ext2",  "ext3", "ext4",  "btrfs",   "xfs", "jfs",     "reiserfs", "f2fs",    "zfs",    "vfat",    "msdos",
    "exfat", "ntfs", "ntfs3", "fuseblk", "hfs", "hfsplus", "udf",      "iso9660", "nilfs2", "bcachefs"};

bool IsRealFileSystem(const QString& type) {
    const QByteArray name = type.toLatin1();
    return std::find(std::begin(kRealFileSystems), std::end(kRealFileSystems),
                     std::string_view(name.constData(), static_cast<std::size_t>(name.size()))) !=
           std::end(kRealFileSystems);
}

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

std::vector<Volume> VolumesFromMountTable(const QString& mountTableText) {
    std::vector<Volume> volumes;
    const QStringList lines = mountTableText.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 3) continue;
        const QString mountPoint = UnescapeMountField(fields[1]);
        const QString& type = fields[2];
        // "/" always counts, whatever it is, so that there is always one volume.
        if (mountPoint != QLatin1String("/") && !IsRealFileSystem(type)) continue;
        if (!mountPoint.startsWith(u'/')) continue;
        const auto same = [&](const Volume& v) { return v.mountPoint == mountPoint; };
        if (std::any_of(volumes.begin(), volumes.end(), same)) continue;
        volumes.push_back(Volume{mountPoint, mountPoint});
    }
    if (volumes.empty() || std::none_of(volumes.begin(), volumes.end(),
                                        [](const Volume& v) { return v.mountPoint == QLatin1String("/"); })) {
        volumes.push_back(Volume{QStringLiteral("/"), QStringLiteral("/")});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.mountPoint < b.mountPoint; });
    return volumes;
}

void NameByLabels(std::vector<Volume>& volumes, const QString& mountTableText, const QString& byLabelDirectory) {
    QHash<QString, QString> deviceOf;  // mount point -> device
    for (const QString& line : mountTableText.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() >= 2) deviceOf.insert(UnescapeMountField(fields[1]), UnescapeMountField(fields[0]));
    }
    QHash<QString, QString> labelOf;  // device, links resolved -> label
    QDirIterator links(byLabelDirectory, QDir::Files | QDir::System);
    while (links.hasNext()) {
        links.next();
        const QString device = links.fileInfo().canonicalFilePath();
        if (!device.isEmpty()) labelOf.insert(device, UnescapeLabel(links.fileName()));
    }
    for (Volume& volume : volumes) {
        const QString device = QFileInfo(deviceOf.value(volume.mountPoint)).canonicalFilePath();
        const QString label = device.isEmpty() ? QString() : labelOf.value(device);
        if (!label.isEmpty()) volume.name = label;
    }
}

std::vector<Volume> MountedVolumes() {
    QFile table(QStringLiteral("/proc/self/mounts"));
    QString text;
    if (table.open(QIODevice::ReadOnly)) text = QString::fromUtf8(table.readAll());
    std::vector<Volume> volumes;
    for (const Volume& volume : VolumesFromMountTable(text)) {
        // Bind mounts of single files (as in containers) are no volumes.
        if (QFileInfo(volume.mountPoint).isDir()) volumes.push_back(volume);
    }
    if (volumes.empty()) volumes.push_back(Volume{QStringLiteral("/"), QStringLiteral("/")});
    NameByLabels(volumes, text, QStringLiteral("/dev/disk/by-label"));
    return volumes;
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
