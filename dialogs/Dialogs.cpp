#include "dialogs/Dialogs.h"

#include <QPointer>

#include "dialogs/DialogValues.h"
#include "dialogs/frmMEDrvDirFil100.h"
#include "dialogs/frmMEMessage100.h"
#include "ui/ErrorBox.h"
#include "ui/Geometry.h"

namespace dialogs {

DialogValues& Values() {
    static DialogValues values;
    return values;
}

void ResetDialogValues() {
    Values() = DialogValues{};
}

namespace {

// Each showing starts from a fresh window.
template <class Dialog>
void ShowFresh(QWidget* owner) {
    Dialog form(owner);
    form.Form_Load();
    form.ShowModal();
}

}  // namespace

std::int16_t Ask(QWidget* owner, std::int16_t type, std::uint32_t color, const std::string& text) {
    DialogValues& values = Values();
    values.MessageType = type;
    values.MessageColor = color;
    values.MessageText = text;
    ShowFresh<frmMEMessage100>(owner);
    return values.MessageAnswer;
}

void SetFormCenter(QPoint centreTwips) {
    Values().FormCenterX = centreTwips.x();
    Values().FormCenterY = centreTwips.y();
}

std::string ChooseMenuFile(QWidget* owner, std::int16_t mode, const std::string& directory,
                           const std::string& extension) {
    DialogValues& values = Values();
    values.FileDialogMode = mode;
    values.FileDialogPath = directory;
    values.FileDialogExtension = extension;
    ShowFresh<frmMEDrvDirFil100>(owner);
    return values.FileDialogResult;
}

ovn::StorageErrorReporter StorageErrorBox(QWidget* owner) {
    // The reporter may outlive the window it was made for; the box then has no owner.
    QPointer<QWidget> guarded(owner);
    return [guarded](const ovn::StorageFailure& failure) {
        ui::ShowErrorBox(guarded.data(), ui::FromPath(failure.Text()));
    };
}

void ReportStartupFailure(const std::string& text) {
    Ask(nullptr, kOk, kRed, text);
}

}  // namespace dialogs
