// The two dialogs and the ERROR box. Like the windows they serve, they take no
// arguments: the caller sets the process-wide values in ovn::Shared()
// (MessageType, MessageColor, MessageText; FileDialogMode, FileDialogPath,
// FileDialogExtension, FileDialogTitle), shows the dialog modally and reads
// MessageAnswer or FileDialogResult when the show returns.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "menufile/MenuStorage.h"

namespace dialogs {

// Shows frmMEMessage100 modally over `owner` (may be null); sets MessageAnswer.
void ShowMessage(QWidget* owner);

// Sets MessageType, MessageColor and MessageText, shows the message and returns MessageAnswer.
std::int16_t Ask(QWidget* owner, std::int16_t type, std::uint32_t color, const std::string& text);

// Shows frmMEDrvDirFil100 modally over `owner`; sets FileDialogResult ("" when cancelled).
void ShowFileChooser(QWidget* owner);

// The storage routines' failure callback: shows the "ERROR" box with the message.
ovn::StorageErrorReporter StorageErrorBox(QWidget* owner);

// The start-up failure: type 0, red, the given text, centred on the screen.
void ReportStartupFailure(const std::string& text);

// Message answers and colours.
inline constexpr std::int16_t kAnswerOk = 0;
inline constexpr std::int16_t kAnswerYes = 1;
inline constexpr std::int16_t kAnswerNo = 2;
inline constexpr std::int16_t kAnswerCancel = 3;
inline constexpr std::uint32_t kRed = 255;
inline constexpr std::uint32_t kYellow = 65535;

}  // namespace dialogs
