// The file chooser: drive (volume), directory and menu file lists and a name
// box. It takes no arguments: it reads FileDialogMode, FileDialogPath,
// FileDialogExtension and FileDialogTitle from dialogs::Values() and leaves the
// chosen path in FileDialogResult ("" when cancelled). Shown through
// dialogs::ChooseMenuFile.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/Controls.h"
#include "ui/FileLists.h"
#include "ui/Form.h"

namespace dialogs {

class frmMEDrvDirFil100 : public ui::Form {
    Q_OBJECT
public:
    explicit frmMEDrvDirFil100(QWidget* owner = nullptr);

    void Form_Load();
    void lstDrive_Change();
    void lstDirectory_Change();
    void lstFile_Click();
    int txtFileName_KeyPress(int keyAscii);
    // 0 Cancel, 1 OK.
    void cmdBut_Click(int index);

    // The character a file name may hold for a typed code, or 0 to drop it.
    static std::int16_t StandardizeKeyFilename(std::int16_t key);
    using VolumeSource = std::function<std::vector<ui::Volume>()>;
    // While it lives, the drive list of every chooser loaded offers the
    // volumes `source` gives (tests); the one before comes back when it ends,
    // at last the machine's mounted volumes.
    class ScopedVolumeSource {
    public:
        explicit ScopedVolumeSource(VolumeSource source);
        ~ScopedVolumeSource();
        ScopedVolumeSource(const ScopedVolumeSource&) = delete;
        ScopedVolumeSource& operator=(const ScopedVolumeSource&) = delete;

    private:
        VolumeSource previous_;
    };

private:
    // Records this window's centre for the message dialog (FormCenterX/Y).
    void SetDrvDirFilFormCenter();
    void ShowFileError(const char* line);
    // directory + "/" + the file the result names: an existing file whose name
    // matches without regard to case, else name + ".ovn".
    QString ResultPath(const QString& name) const;
    QString ExistingMenuFile(const QString& directory, const QString& name) const;

    ui::DriveList* lstDrive;
    ui::DirectoryList* lstDirectory;
    ui::TextBox* txtFileName;
    ui::CommandButtonArray* cmdBut;
    ui::FileList* lstFile;
    ui::Label* Label1;
    ui::Label* lblFileName;
    bool loading_ = false;
};

}  // namespace dialogs
