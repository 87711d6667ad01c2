// What a caller hands the two dialogs and what they hand back. The dialogs
// take no arguments: Ask and ChooseMenuFile (Dialogs.h) fill these values,
// show the dialog modally and return what it left here. Only the dialogs and
// tests read them directly.
#pragma once

#include <cstdint>
#include <string>

namespace dialogs {

struct DialogValues {
    // Message dialog: set by Ask, MessageAnswer by the dialog.
    std::int16_t MessageType = 0;
    std::string MessageText;
    std::uint32_t MessageColor = 0;  // 0x00BBGGRR
    std::int16_t MessageAnswer = 0;
    std::int32_t FormCenterX = 0;  // screen twips: the centre of the window that asks
    std::int32_t FormCenterY = 0;

    // File chooser: set by ChooseMenuFile, FileDialogResult by the dialog.
    std::int16_t FileDialogMode = 0;  // 0 save, 1 read
    std::string FileDialogPath;
    std::string FileDialogExtension;
    std::string FileDialogTitle;
    std::string FileDialogResult;
};

// The one process-wide instance.
DialogValues& Values();

// Puts every value back to its state at process start (tests).
void ResetDialogValues();

}  // namespace dialogs
