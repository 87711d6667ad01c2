#include "dialogs/Dialogs.h"

#include <QPointer>

#include "dialogs/frmMEDrvDirFil100.h"
#include "dialogs/frmMEMessage100.h"
#include "model/MenuModel.h"
#include "ui/Geometry.h"
#include "ui/ModalScript.h"

namespace dialogs {

void ShowMessage(QWidget* owner) {
    // Each showing starts from a fresh window.
    frmMEMessage100 form(owner);
    form.Form_Load();
    form.ShowModal();
}

std::int16_t Ask(QWidget* owner, std::int16_t type, std::uint32_t color, const std::string& text) {
    ovn::MenuState& state = ovn::Shared();
    state.MessageType = type;
    state.MessageColor = color;
    state.MessageText = text;
    ShowMessage(owner);
    return state.MessageAnswer;
}

void ShowFileChooser(QWidget* owner) {
    frmMEDrvDirFil100 form(owner);
    form.Form_Load();
    form.ShowModal();
}

ovn::StorageErrorReporter StorageErrorBox(QWidget* owner) {
    // The reporter may outlive the window it was made for; the box then has no owner.
    QPointer<QWidget> guarded(owner);
    return [guarded](const ovn::StorageFailure& failure) {
        ui::ShowErrorBox(guarded.data(), ui::FromPath(failure.Text()));
    };
}

void ReportStartupFailure(const std::string& text) {
    Ask(nullptr, 0, kRed, text);
}

}  // namespace dialogs
