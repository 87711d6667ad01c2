#include "dialogs/frmMEMessage100.h"

#include <cmath>

#include "dialogs/DialogValues.h"
#include "dialogs/Dialogs.h"
#include "ui/Accessibility.h"

namespace dialogs {

namespace {

constexpr int kClientWidth = 5295;
constexpr int kClientHeight = 1995;

struct ButtonRow {
    int index;
    const char* caption;
    ui::Place place;
};

// In tab order: OK spans the row alone; YES left, Cancel middle, NO right.
constexpr ButtonRow kButtons[] = {
    {0, "OK", {120, 1440, 5055, 435}},
    {1, "YES", {120, 1440, 1575, 435}},
    {2, "NO", {3600, 1440, 1575, 435}},
    {3, "Cancel", {1860, 1440, 1575, 435}},
};

bool ShowsOkOnly(std::int16_t type) {
    return type == kOk || type == kOkOnWindow;
}
bool ShowsYesNo(std::int16_t type) {
    return type == kYesNo || type == kYesNoOnWindow;
}
bool ShowsYesCancelNo(std::int16_t type) {
    return type == kYesCancelNo || type == kYesCancelNoOnWindow;
}

}  // namespace

frmMEMessage100::frmMEMessage100(QWidget* owner) : ui::Form("frmMEMessage100", kClientWidth, kClientHeight, owner) {
    lblInformation = new ui::Label(this, "lblInformation", {120, 60, 5055, 1275}, "x", ui::FontKind::Message,
                                   Qt::AlignHCenter | Qt::AlignTop, /*border=*/true);
    // A long line must wrap inside the box rather than run out of it.
    lblInformation->SetWordWrap(true);

    cmdBut = new ui::CommandButtonArray("cmdBut", this);
    QWidget* previous = nullptr;
    for (const ButtonRow& row : kButtons) {
        QWidget* button = cmdBut->Add(this, row.index, row.place, row.caption, ui::FontKind::Default);
        if (previous != nullptr) setTabOrder(previous, button);
        previous = button;
    }
    cmdBut->onClick = [this](int index) { cmdBut_Click(index); };
    ui::MarkAsAlert(this);
}

void frmMEMessage100::Form_Load() {
    const DialogValues& values = Values();
    const std::int16_t type = values.MessageType;

    SetCaption("Information");

    PlaceBy([this] { PlaceWindow(); });

    lblInformation->SetCaption(ui::FromLatin1(values.MessageText));
    if (ShowsOkOnly(type)) {
        lblInformation->SetBackColor(values.MessageColor);
        cmdBut->Button(1)->hide();
        cmdBut->Button(2)->hide();
        cmdBut->Button(3)->hide();
    } else if (ShowsYesNo(type)) {
        lblInformation->SetBackColor(values.MessageColor);
        cmdBut->Button(0)->hide();
        cmdBut->Button(3)->hide();
    } else if (ShowsYesCancelNo(type)) {
        lblInformation->SetBackColor(values.MessageColor);
        cmdBut->Button(0)->hide();
    } else {
        lblInformation->SetBackColor(kRed);
        cmdBut->Button(1)->hide();
        cmdBut->Button(2)->hide();
        cmdBut->Button(3)->hide();
    }

    // The colour's meaning in words, for those who do not see it.
    const bool red = lblInformation->palette().color(QPalette::Window) == ui::ColorFromBgr(kRed);
    setAccessibleDescription(red ? "Error" : ShowsOkOnly(type) ? "Notice" : "Question");

    // The focus starts on the first visible button in tab order.
    for (const ButtonRow& row : kButtons) {
        QWidget* button = cmdBut->Button(row.index);
        if (!button->isHidden()) {
            button->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

void frmMEMessage100::PlaceWindow() {
    const DialogValues& values = Values();
    // Single precision, as the placement has always been computed; the layer
    // keeps a dialog inside the screen's available area.
    const float width = static_cast<float>(WidthTwips());
    const float height = static_cast<float>(HeightTwips());
    float left = 0.0f;
    float top = 0.0f;
    if (values.MessageType < kOnWindow) {
        left = static_cast<float>(ScreenWidthTwips()) / 2.0f - width / 2.0f;
        top = static_cast<float>(ScreenHeightTwips()) / 2.0f - height / 2.0f;
    } else {
        left = static_cast<float>(values.FormCenterX) - width / 2.0f;
        top = static_cast<float>(values.FormCenterY) - height / 2.0f;
    }
    MoveTwips(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
}

void frmMEMessage100::cmdBut_Click(int index) {
    if (index < kAnswerOk || index > kAnswerCancel) return;
    Values().MessageAnswer = static_cast<std::int16_t>(index);
    Unload();
}

}  // namespace dialogs
