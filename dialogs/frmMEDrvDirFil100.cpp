#include "dialogs/frmMEDrvDirFil100.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "dialogs/DialogValues.h"
#include "dialogs/Dialogs.h"
#include "ui/Accessibility.h"

namespace dialogs {

namespace {

constexpr int kClientWidth = 5550;
constexpr int kClientHeight = 3810;
constexpr int kSaveNameLength = 8;

frmMEDrvDirFil100::VolumeSource& CurrentVolumeSource() {
    static frmMEDrvDirFil100::VolumeSource source;
    return source;
}

// The directory the lists open on. A path that is no directory (missing, or a
// plain file where the menu directory should be) would leave the lists broken,
// so the home directory stands in for it.
QString StartDirectory(const QString& path) {
    const QFileInfo info(path);
    if (!path.isEmpty() && info.isDir()) return QDir::cleanPath(info.absoluteFilePath());
    const QString home = QDir::homePath();
    if (QFileInfo(home).isDir()) return QDir::cleanPath(home);
    return QDir::rootPath();
}

QString JoinPath(const QString& directory, const QString& file) {
    // At the root the directory already ends in the separator.
    if (directory.endsWith('/')) return directory + file;
    return directory + '/' + file;
}

}  // namespace

frmMEDrvDirFil100::frmMEDrvDirFil100(QWidget* owner)
    : ui::Form("frmMEDrvDirFil100", kClientWidth, kClientHeight, owner) {
    // Created in tab order.
    lstDrive = new ui::DriveList(this, "lstDrive", {120, 180, 2955, 315}, ui::FontKind::Default);
    lstDirectory = new ui::DirectoryList(this, "lstDirectory", {120, 540, 2955, 2565}, ui::FontKind::Default);
    txtFileName = new ui::TextBox(this, "txtFileName", {3180, 2760, 2235, 315}, ui::FontKind::Default);
    txtFileName->setFont(ui::MakeFontForNames(ui::FontKind::Default));  // takes names from the file list
    cmdBut = new ui::CommandButtonArray("cmdBut", this);
    QWidget* cancel = cmdBut->Add(this, 0, {4020, 3300, 1395, 375}, "Cancel", ui::FontKind::Default);
    QWidget* ok = cmdBut->Add(this, 1, {120, 3300, 1395, 375}, "OK", ui::FontKind::Default);
    lstFile = new ui::FileList(this, "lstFile", {3180, 540, 2235, 1650}, ui::FontKind::Default);
    Label1 = new ui::Label(this, "Label1", {3180, 300, 2235, 255}, "Existing Menu Files:", ui::FontKind::Default);
    lblFileName = new ui::Label(this, "lblFileName", {3180, 2340, 2235, 435}, "x", ui::FontKind::Default);

    setTabOrder(lstDrive, lstDirectory);
    setTabOrder(lstDirectory, txtFileName);
    setTabOrder(txtFileName, cancel);
    setTabOrder(cancel, ok);
    setTabOrder(ok, lstFile);

    ui::NameControl(lstDrive, "Drives");
    ui::NameControl(lstDirectory, "Directories");
    ui::LabelControl(Label1, lstFile);
    ui::NameControl(lstFile, "Files");
    ui::LabelControl(lblFileName, txtFileName);

    lstDrive->onChange = [this] { lstDrive_Change(); };
    lstDirectory->onChange = [this] { lstDirectory_Change(); };
    lstFile->onClick = [this] { lstFile_Click(); };
    txtFileName->onKeyPress = [this](int keyAscii) { return txtFileName_KeyPress(keyAscii); };
    cmdBut->onClick = [this](int index) { cmdBut_Click(index); };
}

frmMEDrvDirFil100::ScopedVolumeSource::ScopedVolumeSource(VolumeSource source)
    : previous_(std::exchange(CurrentVolumeSource(), std::move(source))) {}

frmMEDrvDirFil100::ScopedVolumeSource::~ScopedVolumeSource() {
    CurrentVolumeSource() = std::move(previous_);
}

void frmMEDrvDirFil100::Form_Load() {
    DialogValues& values = Values();

    // Left and top at 1000, 1000 by the outer frame.
    PlaceBy([this] { MoveTwips(1000, 1000); });

    // The pattern goes first so that the file list is read once, already filtered.
    lstFile->SetPattern("*." + ui::FromPath(values.FileDialogExtension));

    // The volume holding the start directory, then the directory itself (the
    // file list follows through lstDirectory_Change). Volume events raised
    // while loading would move the lists away from the start directory.
    const QString start = StartDirectory(ui::FromPath(values.FileDialogPath));
    loading_ = true;
    if (CurrentVolumeSource()) lstDrive->SetVolumes(CurrentVolumeSource()());
    lstDrive->SelectForPath(start);
    loading_ = false;
    lstDirectory->SetPath(start);
    if (lstFile->Path() != lstDirectory->Path()) lstDirectory_Change();

    if (values.FileDialogMode == kSaveMode) {
        SetCaption(values.FileDialogTitle.empty() ? QString("Select/Enter Filename to Save Menu")
                                                  : ui::FromLatin1(values.FileDialogTitle));
        lblFileName->SetCaption("Enter Menu Filename,\r\n8 characters, NO extension.");
        txtFileName->SetText("");
    } else if (values.FileDialogMode == kReadMode) {
        SetCaption(values.FileDialogTitle.empty() ? QString("Select Filename to Read Menu")
                                                  : ui::FromLatin1(values.FileDialogTitle));
        lblFileName->SetCaption("\r\nFilename");
        lblFileName->setEnabled(false);
        // A name can only come from the file list.
        txtFileName->SetText("");
        txtFileName->setEnabled(false);
    }

    values.FileDialogResult.clear();
}

void frmMEDrvDirFil100::lstDrive_Change() {
    if (loading_) return;
    const QString drive = lstDrive->Drive();
    if (drive.isEmpty()) return;
    lstDirectory->SetPath(drive);
    if (lstFile->Path() != lstDirectory->Path()) lstDirectory_Change();
}

void frmMEDrvDirFil100::lstDirectory_Change() {
    lstFile->SetPath(lstDirectory->Path());
}

void frmMEDrvDirFil100::lstFile_Click() {
    const int index = lstFile->ListIndex();
    if (index < 0) return;
    const QString entry = lstFile->List(index);
    const int count = static_cast<int>(entry.size()) - (static_cast<int>(Values().FileDialogExtension.size()) + 1);
    txtFileName->SetText(entry.left(std::max(count, 0)));
}

int frmMEDrvDirFil100::txtFileName_KeyPress(int keyAscii) {
    // Codes beyond the 16-bit range are dropped like every other code above 127.
    if (keyAscii < 0 || keyAscii > 0x7FFF) return 0;
    return StandardizeKeyFilename(static_cast<std::int16_t>(keyAscii));
}

void frmMEDrvDirFil100::cmdBut_Click(int index) {
    DialogValues& values = Values();
    values.FileDialogResult.clear();

    if (index == 0) {
        Unload();
        return;
    }
    if (index != 1) return;

    const QString name = txtFileName->Text();
    if (values.FileDialogMode == kSaveMode) {
        if (name.isEmpty()) {
            ShowFileError("No Filename Exists");
            return;
        }
        if (name.size() != kSaveNameLength) {
            ShowFileError("Invalid Filename");
            txtFileName->setFocus(Qt::OtherFocusReason);
            return;
        }
    } else if (values.FileDialogMode == kReadMode) {
        if (name.isEmpty()) {
            ShowFileError("No Filename Exists");
            return;
        }
    } else {
        return;
    }
    values.FileDialogResult = ui::ToPath(ResultPath(name));
    Unload();
}

std::int16_t frmMEDrvDirFil100::StandardizeKeyFilename(std::int16_t key) {
    if (key == ui::kCharBackspace) return key;
    switch (key) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return 0;
        default:
            break;
    }
    if (key < ui::kFirstPrintable || key > ui::kCharDelete) return 0;
    return key;
}

void frmMEDrvDirFil100::SetDrvDirFilFormCenter() {
    SetFormCenter(CenterTwips());
}

void frmMEDrvDirFil100::ShowFileError(const char* line) {
    SetDrvDirFilFormCenter();
    Ask(this, kOkOnWindow, kRed, std::string("\r\n") + line);
}

QString frmMEDrvDirFil100::ResultPath(const QString& name) const {
    const QString directory = lstDirectory->Path();
    QString file = ExistingMenuFile(directory, name);
    if (file.isEmpty()) file = name + ".ovn";
    return JoinPath(directory, file);
}

QString frmMEDrvDirFil100::ExistingMenuFile(const QString& directory, const QString& name) const {
    const QString wanted = name + '.' + ui::FromPath(Values().FileDialogExtension);

    // The entry picked from the list, exactly as it is named on disk.
    const int index = lstFile->ListIndex();
    if (index >= 0 && lstFile->Path() == directory) {
        const QString entry = lstFile->List(index);
        if (entry.startsWith(name) && entry.compare(wanted, Qt::CaseInsensitive) == 0) return entry;
    }

    // Otherwise a file of that name in any case, so that a save replaces
    // X.OVN rather than writing x.ovn beside it. The exact name wins.
    const QStringList files = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    if (files.contains(wanted)) return wanted;
    for (const QString& file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0) return file;
    }
    return {};
}

}  // namespace dialogs
