// The oven type, the events of the item fields, their key filters and their
// validation.
#include "editor/frmOpening.h"
#include "model/Encodings.h"
#include "model/ItemRules.h"
#include "model/MenuModel.h"

namespace editor {

namespace {

// The box that turns red for each field the rules find bad.
const std::pair<unsigned, ui::TextBox * frmOpening::*> kCheckedBoxes[] = {
    {ovn::kFieldName, &frmOpening::txtName},
    {ovn::kFieldCookTemp, &frmOpening::txtCookTemp},
    {ovn::kFieldCookTimeHours, &frmOpening::txtCookTimeHH},
    {ovn::kFieldCookTimeMinutes, &frmOpening::txtCookTimeMM},
    {ovn::kFieldHoldTemp, &frmOpening::txtHoldTemp},
};

int NumberBoxKey(int keyChar) {
    return ovn::NumericKeyFilter(keyChar, false, true);
}

}  // namespace

void frmOpening::WireEvents() {
    cmdBut->onClick = [this](int index) { cmdBut_Click(index); };
    optOvenType->onClick = [this](int index) { optOvenType_Click(index); };
    lstItems->onClick = [this] { lstItems_Click(); };
    chkRoastNHold->onClick = [this] { chkRoastNHold_Click(); };
    cboFanSpeed->onClick = [this] { cboFanSpeed_Click(); };
    cboPowerLevel->onClick = [this] { cboPowerLevel_Click(); };

    // Every key in an item box marks the item as changed, a dropped key too.
    txtName->onKeyPress = [this](int keyChar) {
        ovn::Shared().ItemChanged = true;
        return ovn::NameKeyFilter(keyChar, false, static_cast<int>(txtName->Text().size()), ovn::kNameMaxLength);
    };
    for (ui::TextBox* box : {txtCookTemp, txtHoldTemp, txtCookTimeHH, txtCookTimeMM})
        box->onKeyPress = [this](int keyChar) { return ItemBoxKeyPress(keyChar); };
    // The "Copy To" target is not part of the item.
    txtPage->onKeyPress = NumberBoxKey;
    txtItem->onKeyPress = NumberBoxKey;

    txtCookTimeHH->onLostFocus = [this] { PadTimeBoxOnLeave(txtCookTimeHH); };
    txtCookTimeMM->onLostFocus = [this] { PadTimeBoxOnLeave(txtCookTimeMM); };

    onQueryUnload = [this] { return QueryUnload(); };
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { PrintMenuCard(); });
    WireUndoKeys();
}

int frmOpening::ItemBoxKeyPress(int keyChar) {
    ovn::Shared().ItemChanged = true;
    return NumberBoxKey(keyChar);
}

void frmOpening::PadTimeBoxOnLeave(ui::TextBox* box) {
    const std::string text = ui::ToLatin1(box->Text());
    const std::string padded = ovn::PadTimeBox(text);
    if (padded != text) box->SetText(ui::FromLatin1(padded));
}

std::int16_t frmOpening::DetermineOvenType() const {
    if (optOvenType->Value(0)) return ovn::kGasOven;
    if (optOvenType->Value(1)) return ovn::kElectricOven;
    return ovn::kNoOvenType;
}

void frmOpening::optOvenType_Click(int Index) {
    cboPowerLevel->Clear();
    for (auto entry : ovn::kPowerLevelEntries) cboPowerLevel->AddItem(QString::fromLatin1(entry.data(), entry.size()));
    cboFanSpeed->Clear();
    for (auto entry : ovn::kFanSpeedEntries) cboFanSpeed->AddItem(QString::fromLatin1(entry.data(), entry.size()));

    if (Index != ovn::kGasOven && Index != ovn::kElectricOven) return;
    ButtonSetup(ButtonMode::Editing);
    FieldSetup(FieldMode::Editing);
    InformationSetup(Index == ovn::kGasOven ? InformationMode::Gas : InformationMode::Electric);

    // The first item of page 1; selecting it loads slot 0 through the list's click.
    if (!lstItems->SetListIndex(1)) lstItems_Click();

    const QString cookTempRange = Index == ovn::kGasOven ? "F \r\n200 to 500" : "F \r\n200 - 600";
    lblCookTempRange->SetCaption(cookTempRange);
    lblCookTimRange->SetCaption("HH:MM\r\n00:00 to 18:00");
    lblHoldTempRange->SetCaption("F 100 to 200");
}

void frmOpening::chkRoastNHold_Click() {
    const bool ticked = chkRoastNHold->Value() == 1;
    lblHoldTemp->setEnabled(ticked);
    txtHoldTemp->setEnabled(ticked);
    ovn::Shared().ItemChanged = true;
}

void frmOpening::cboFanSpeed_Click() {
    ovn::Shared().ItemChanged = true;
}

void frmOpening::cboPowerLevel_Click() {
    ovn::Shared().ItemChanged = true;
}

bool frmOpening::ValidateItemEntries() {
    FieldSetup(FieldMode::ClearInvalid);

    ovn::MenuItemRecord fields;
    fields.Name = ui::ToLatin1(txtName->Text());
    fields.CookTemp = ui::ToLatin1(txtCookTemp->Text());
    fields.HoldTemp = ui::ToLatin1(txtHoldTemp->Text());
    fields.RoastNHold = static_cast<std::uint8_t>(chkRoastNHold->Value() == 1 ? 1 : 0);
    const unsigned bad =
        ovn::CheckItemFields(fields, ui::ToLatin1(txtCookTimeHH->Text()), ui::ToLatin1(txtCookTimeMM->Text()),
                             DetermineOvenType(), ovn::RuleStrength::Editor);

    for (const auto& [field, box] : kCheckedBoxes)
        if ((bad & field) != 0) (this->*box)->SetBackColor(ui::kInvalidBackColor);
    return bad == 0;
}

}  // namespace editor
