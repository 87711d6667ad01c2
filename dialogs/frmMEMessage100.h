// The message window: a bordered text on a coloured background and one of
// three button sets. It takes no arguments: it reads MessageType, MessageColor,
// MessageText, FormCenterX and FormCenterY from dialogs::Values() and writes
// MessageAnswer when a button is pressed. Shown through dialogs::Ask.
#pragma once

#include <QWidget>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace dialogs {

class frmMEMessage100 : public ui::Form {
    Q_OBJECT
public:
    explicit frmMEMessage100(QWidget* owner = nullptr);

    // Title, placement, text, colour and button set from the shared values.
    void Form_Load();
    // 0 OK, 1 YES, 2 NO, 3 Cancel: stores the answer and unloads; other indices do nothing.
    void cmdBut_Click(int index);

private:
    void PlaceWindow();

    ui::Label* lblInformation;
    ui::CommandButtonArray* cmdBut;
};

}  // namespace dialogs
