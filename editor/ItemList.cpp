// The item list: ten page lines, each followed by the ten item lines of its
// page, and the moves of an item between its slot and the fields.
#include <QString>

#include "dialogs/Dialogs.h"
#include "editor/frmOpening.h"
#include "model/MenuModel.h"

namespace editor {

namespace {

const QString kPagePrefix = "> Page ";

QString ItemLine(int item, const std::string& name) {
    QString line = QString::number(item);
    if (!name.empty()) line += "  " + QString(" ") + ui::FromLatin1(name);
    return line;
}

}  // namespace

void frmOpening::SetupOpeningFormAndMenuInfo(ListMode mode) {
    auto& state = ovn::Shared();

    lstItems->Clear();
    int countdown = 0;
    int item = 0;
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        if (countdown == 0) {
            lstItems->AddItem(kPagePrefix + QString::number(slot / ovn::kItemsPerPage + 1));
            countdown = ovn::kItemsPerPage - 1;
            item = 0;
        } else {
            ++item;
            --countdown;
        }
        if (mode == ListMode::ClearMenu) {
            lstItems->AddItem(QString::number(item));
            ovn::ItemClear(static_cast<std::int16_t>(slot));
        } else {
            lstItems->AddItem(ItemLine(item, state.MenuItems[slot].Name));
        }
    }
    if (mode == ListMode::RefreshNames) return;

    ButtonSetup(ButtonMode::NoOvenType);
    FieldSetup(FieldMode::ClearFields);
    FieldSetup(FieldMode::ClearInvalid);
    FieldSetup(FieldMode::WaitForOvenType);
    InformationSetup(InformationMode::SelectOvenType);
    state.IgnoreListClick = false;
    state.CurrentItemIndex = -1;
    state.ItemChanged = false;
}

bool frmOpening::ItemGetFromMemory(int mitem) {
    const ovn::MenuItemRecord& slot = ovn::Shared().MenuItems.at(static_cast<std::size_t>(mitem));
    txtName->SetText(ui::FromLatin1(slot.Name));
    txtCookTemp->SetText(ui::FromLatin1(slot.CookTemp));
    txtHoldTemp->SetText(ui::FromLatin1(slot.HoldTemp));
    const QString time = ui::FromLatin1(slot.CookTime);
    txtCookTimeHH->SetText(time.left(2));
    txtCookTimeMM->SetText(time.mid(2, 2));
    // A text that is no entry (from a damaged file) leaves the combo without a choice.
    cboFanSpeed->SetText(ui::FromLatin1(slot.FanSpeed));
    cboPowerLevel->SetText(ui::FromLatin1(slot.PowerLevel));
    chkRoastNHold->SetValue(slot.RoastNHold);
    return true;
}

bool frmOpening::ItemSaveToMemory(int menu) {
    ovn::MenuItemRecord& slot = ovn::Shared().MenuItems.at(static_cast<std::size_t>(menu));
    slot.Name = ui::ToLatin1(txtName->Text());
    slot.CookTemp = ui::ToLatin1(txtCookTemp->Text());
    slot.HoldTemp = ui::ToLatin1(txtHoldTemp->Text());
    slot.CookTime = ui::ToLatin1(txtCookTimeHH->Text() + txtCookTimeMM->Text());
    slot.FanSpeed = ui::ToLatin1(cboFanSpeed->Text());
    slot.PowerLevel = ui::ToLatin1(cboPowerLevel->Text());
    slot.RoastNHold = static_cast<std::uint8_t>(chkRoastNHold->Value() == 1 ? 1 : 0);
    return true;
}

QString frmOpening::UpdateItemListEntry(int LIndex, int MIndex) {
    QString prefix = lstItems->List(LIndex).left(3);
    if (prefix.size() < 2) prefix += "  ";
    if (prefix.size() < 3) prefix += " ";
    lstItems->Refresh();
    return prefix + " " + ui::FromLatin1(ovn::Shared().MenuItems.at(static_cast<std::size_t>(MIndex)).Name);
}

int frmOpening::GetIndex(IndexKind kind, int start) const {
    auto inList = [](int line) { return line >= 0 && line < kListLineCount; };
    if (kind == IndexKind::Page) return inList(start) ? start / kListLinesPerPage : -1;
    if (kind == IndexKind::Slot) {
        // The slot: the line less the page lines up to and including its own page.
        const int line = lstItems->ListIndex();
        return inList(line) ? line - line / kListLinesPerPage - 1 : -1;
    }
    return -1;
}

bool frmOpening::IsPageEntry(const QString& entry) {
    return entry.left(kPagePrefix.size()) == kPagePrefix;
}

void frmOpening::ReturnToCurrentLine() {
    auto& state = ovn::Shared();
    state.IgnoreListClick = true;
    // The setter raises the click only when the line really moves.
    if (!lstItems->SetListIndex(state.CurrentListIndex)) state.IgnoreListClick = false;
}

// Before the selection leaves an item with unsaved edits: YES stores them
// (valid ones only), NO drops them, Cancel stays. False when the selection
// stays on the item.
bool frmOpening::AskToStoreBeforeLeaving() {
    const auto& state = ovn::Shared();
    const std::string question = "\r\nYou are changing Menu Items.\r\nDo you want to save Item " +
                                 std::to_string(state.CurrentItemIndex + 1) + " information?";
    const std::int16_t answer = Ask(dialogs::kYesCancelNoOnWindow, dialogs::kYellow, question);
    if (answer == dialogs::kAnswerCancel) {
        ReturnToCurrentLine();
        return false;
    }
    if (answer == dialogs::kAnswerYes) {
        if (!StoreValidItemAsStep()) {
            ReturnToCurrentLine();
            return false;
        }
        return true;
    }
    return answer == dialogs::kAnswerNo;
}

void frmOpening::lstItems_Click() {
    auto& state = ovn::Shared();
    if (state.IgnoreListClick) {
        state.IgnoreListClick = false;
        return;
    }

    const int line = lstItems->ListIndex();
    if (line < 0) return;
    const QString text = lstItems->List(line);
    QString label = "Page " + QString::number(GetIndex(IndexKind::Page, line) + 1);
    const bool isPage = IsPageEntry(text);
    int newSlot = -1;
    if (!isPage) {
        newSlot = GetIndex(IndexKind::Slot, line);
        label += "\r\nItem " + text.left(3);
    }

    // With no item being edited (a page line) there is nothing to store.
    if (state.ItemChanged && state.CurrentItemIndex >= 0 && !AskToStoreBeforeLeaving()) return;
    if (isPage) {
        ButtonSetup(ButtonMode::Editing);
        FieldSetup(FieldMode::ClearFields);
        FieldSetup(FieldMode::ClearInvalid);
        FieldSetup(FieldMode::PageLine);
    } else {
        ButtonSetup(ButtonMode::Editing);
        FieldSetup(FieldMode::Editing);
        FieldSetup(FieldMode::ClearFields);
        FieldSetup(FieldMode::ClearInvalid);
        ItemGetFromMemory(newSlot);
    }
    state.CurrentListIndex = static_cast<std::int16_t>(line);
    state.CurrentItemIndex = static_cast<std::int16_t>(newSlot);
    lblMenuItem->SetCaption(label);
    state.ItemChanged = false;
}

}  // namespace editor
