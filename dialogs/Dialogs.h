// The two dialogs and the ERROR box. The dialogs take no arguments: Ask and
// ChooseMenuFile put the caller's values where the dialog reads them
// (DialogValues.h), show it modally and return what it left there.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "menufile/MenuStorage.h"

namespace dialogs {

// Message types: the button set, centred on the screen or, from kOnWindow on,
// on the window that asks.
inline constexpr std::int16_t kOk = 0;
inline constexpr std::int16_t kYesNo = 1;
inline constexpr std::int16_t kYesCancelNo = 2;
inline constexpr std::int16_t kOnWindow = 16;
inline constexpr std::int16_t kOkOnWindow = kOnWindow + kOk;
inline constexpr std::int16_t kYesNoOnWindow = kOnWindow + kYesNo;
inline constexpr std::int16_t kYesCancelNoOnWindow = kOnWindow + kYesCancelNo;

// Message answers and colours.
inline constexpr std::int16_t kAnswerOk = 0;
inline constexpr std::int16_t kAnswerYes = 1;
inline constexpr std::int16_t kAnswerNo = 2;
inline constexpr std::int16_t kAnswerCancel = 3;
inline constexpr std::uint32_t kRed = 255;
inline constexpr std::uint32_t kYellow = 65535;

// File chooser modes.
inline constexpr std::int16_t kSaveMode = 0;
inline constexpr std::int16_t kReadMode = 1;

// Shows frmMEMessage100 modally over `owner` (may be null) with `type`,
// `color` and `text` and returns the answer.
std::int16_t Ask(QWidget* owner, std::int16_t type, std::uint32_t color, const std::string& text);

// Records the centre (screen twips) that messages of the types from kOnWindow
// on stand on. A window calls it, through its own SetOpeningFormCenter or
// SetDrvDirFilFormCenter, immediately before it asks.
void SetFormCenter(QPoint centreTwips);

// Shows frmMEDrvDirFil100 modally over `owner`, opened on `directory` and
// listing files ending in "." + `extension`; returns the chosen path, "" when
// cancelled.
std::string ChooseMenuFile(QWidget* owner, std::int16_t mode, const std::string& directory,
                           const std::string& extension);

// The storage routines' failure callback: shows the "ERROR" box with the message.
ovn::StorageErrorReporter StorageErrorBox(QWidget* owner);

// The start-up failure: type 0, red, the given text, centred on the screen.
void ReportStartupFailure(const std::string& text);

}  // namespace dialogs
