// The seven command buttons and the writing of a whole menu.
#include <QString>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "dialogs/Dialogs.h"
#include "editor/frmOpening.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"
#include "model/ShownTexts.h"

namespace editor {

namespace {

const std::string kInvalidEntries = "\r\nInvalid Entry(s).";

// A "Copy To" box as a 16-bit number; digits beyond that range give nothing,
// so they are refused like any other target outside the menu.
std::optional<int> CopyToNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return value;
}

// What the checks found in a damaged image, in the list's terms: the first
// slot whose CRC failed as "page P item I" and how many more did, else the sum.
std::string DamageDetail(const ovn::ImageCheckResult& check) {
    if (check.badSlots.empty()) return "The byte sum is wrong.";
    const int first = check.badSlots.front();
    std::string line = "First bad item: " + ovn::PageItemOfSlot(first);
    const std::size_t more = check.badSlots.size() - 1;
    if (more > 0) line += " (and " + std::to_string(more) + " more)";
    return line + ".";
}

}  // namespace

void frmOpening::SetOpeningFormCenter() {
    dialogs::SetFormCenter(CenterTwips());
}

// Centred on this window when the type asks for it.
std::int16_t frmOpening::Ask(std::int16_t type, std::uint32_t color, const std::string& text) {
    SetOpeningFormCenter();
    return dialogs::Ask(this, type, color, text);
}

void frmOpening::cmdBut_Click(int Index) {
    switch (Index) {
        case kQuit:
            QuitEditor();
            break;
        case kSaveMenuToFile:
            SaveMenuToFile();
            break;
        case kGetMenuFromFile:
            GetMenuFromFile();
            break;
        case kSaveItem:
            SaveItem();
            break;
        case kClearItem:
            ClearItem();
            break;
        case kNewMenu:
            NewMenu();
            break;
        case kCopyTo:
            CopyTo();
            break;
        default:
            break;
    }
}

// The close box goes the same way as "Quit"; the close that "Quit" itself
// makes has already been agreed to.
bool frmOpening::QueryUnload() {
    if (closeApproved_) return true;
    if (DetermineOvenType() == ovn::kNoOvenType) return true;
    const std::string question = "\r\nAll unsaved Menu Information\r\nwill be lost. Do you want to continue ?";
    return Ask(dialogs::kYesNo, dialogs::kRed, question) == dialogs::kAnswerYes;
}

void frmOpening::QuitEditor() {
    if (!QueryUnload()) return;
    CloseEditor();
}

void frmOpening::CloseEditor() {
    closeApproved_ = true;
    close();
}

void frmOpening::StoreCurrentItem() {
    auto& state = ovn::Shared();
    if (state.CurrentItemIndex < 0) return;  // a page line holds no item
    ovn::ItemClear(state.CurrentItemIndex);
    ItemSaveToMemory(state.CurrentItemIndex);
    state.ItemChanged = false;
    RewriteCurrentListLine();
}

// The current item's list line after its slot was stored or cleared.
void frmOpening::RewriteCurrentListLine() {
    const auto& state = ovn::Shared();
    lstItems->SetList(state.CurrentListIndex, UpdateItemListEntry(state.CurrentListIndex, state.CurrentItemIndex));
    lstItems->Refresh();
}

bool frmOpening::StoreValidItem() {
    if (!ValidateItemEntries()) {
        Ask(dialogs::kOkOnWindow, dialogs::kRed, kInvalidEntries);
        return false;
    }
    StoreCurrentItem();
    return true;
}

void frmOpening::SaveItem() {
    StoreValidItemAsStep();
}

void frmOpening::SaveMenuToFile() {
    if (ovn::Shared().ItemChanged && !StoreValidItemAsStep()) return;
    MenuToFile();
}

// The file chooser in the menu directory. "" when cancelled.
std::string frmOpening::ChooseMenuFile(std::int16_t mode) {
    return dialogs::ChooseMenuFile(this, mode, ovn::Shared().MenuDirectory, kMenuExtension);
}

bool frmOpening::MenuToFile() {
    const std::string path = ChooseMenuFile(dialogs::kSaveMode);
    if (path.empty()) return false;
    auto& state = ovn::Shared();

    ovn::EncodeMenu(state.MenuItems, DetermineOvenType(), state.MenuImage);
    // The window keeps naming the last file really written.
    if (!ovn::MenuSave(path, state.MenuImage, dialogs::StorageErrorBox(this))) return false;
    state.MenuFileName = path;
    SetCaption(WindowCaptionMake(CaptionMode::FileName));
    return true;
}

void frmOpening::GetMenuFromFile() {
    const std::string question = "\r\nALL Current Menu Information\r\nwill be deleted. Do you want to continue ?";
    if (Ask(dialogs::kYesNoOnWindow, dialogs::kYellow, question) != dialogs::kAnswerYes) return;

    const std::string path = ChooseMenuFile(dialogs::kReadMode);
    if (path.empty()) return;
    const ovn::MenuSnapshot before = Snapshot();
    if (LoadMenuFile(path)) RecordStep(before, true);
}

bool frmOpening::LoadMenuFile(const std::string& path) {
    auto& state = ovn::Shared();
    std::uintmax_t fileSize = 0;
    // A file that could not be read leaves the menu, its name and the caption alone.
    if (!ovn::MenuGet(path, state.MenuImage, dialogs::StorageErrorBox(this), &fileSize)) return false;

    ovn::DecodeMenu(state.MenuImage, state.MenuItems, state.SystemBlock);
    SetupOpeningFormAndMenuInfo(ListMode::ShowMenu);
    state.MenuFileName = path;
    SetCaption(WindowCaptionMake(CaptionMode::FileName));
    optOvenType->SetValue(ovn::OvenTypeOfSystemBlock(state.SystemBlock), true);

    // The file is taken as it is, but the user hears what was found. Bytes past
    // the image are not part of the menu: a whole image that passes its checks is sound.
    const std::string checkEveryItem = "\r\nCheck every item before saving.";
    std::string notice;
    if (fileSize < ovn::kImageSize) {
        notice = "\r\nMenu file is incomplete." + checkEveryItem;
    } else if (const ovn::ImageCheckResult check = ovn::CheckMenuImage(state.MenuImage); !check.ok()) {
        notice = "\r\nMenu file is damaged." + checkEveryItem + "\r\n" + DamageDetail(check);
    }
    if (!notice.empty()) Ask(dialogs::kOkOnWindow, dialogs::kYellow, notice);
    return true;
}

void frmOpening::ClearItem() {
    auto& state = ovn::Shared();
    // A page line has no slot: nothing to ask, nothing to clear.
    if (state.CurrentItemIndex < 0) return;
    const std::string question = "\r\nAre you sure you want to\r\nclear ALL Item information ?";
    if (Ask(dialogs::kYesNoOnWindow, dialogs::kYellow, question) != dialogs::kAnswerYes) return;

    const ovn::MenuSnapshot before = Snapshot();
    FieldSetup(FieldMode::ClearInvalid);
    ovn::ItemClear(state.CurrentItemIndex);
    ItemGetFromMemory(state.CurrentItemIndex);
    state.ItemChanged = false;
    RewriteCurrentListLine();
    RecordStep(before, false);
}

void frmOpening::NewMenu() {
    const std::string question = "\r\nAre you sure you want to\r\nclear ALL Menu information ?";
    if (Ask(dialogs::kYesNoOnWindow, dialogs::kYellow, question) != dialogs::kAnswerYes) return;
    const ovn::MenuSnapshot before = Snapshot();
    SetupOpeningFormAndMenuInfo(ListMode::ClearMenu);
    ovn::Shared().MenuFileName = "New Menu";
    SetCaption(WindowCaptionMake(CaptionMode::FileName));
    RecordStep(before, true);
}

void frmOpening::CopyTo() {
    auto& state = ovn::Shared();
    if (txtPage->Text().isEmpty() || txtItem->Text().isEmpty()) {
        Ask(dialogs::kOkOnWindow, dialogs::kYellow, "\r\nMissing 'Copy To' information.");
        return;
    }
    const std::optional<int> page = CopyToNumber(txtPage->Text());
    const std::optional<int> item = CopyToNumber(txtItem->Text());
    if (!page || !item || *item >= ovn::kItemsPerPage || *item < 0 || *page > ovn::kPageCount || *page < 1) {
        Ask(dialogs::kOkOnWindow, dialogs::kYellow, "\r\nInvalid 'Copy To' information.");
        return;
    }
    // The source is the item being edited, never a page line.
    const int line = state.CurrentListIndex;
    if (state.CurrentItemIndex < 0 || line < 0 || IsPageEntry(lstItems->List(line))) {
        Ask(dialogs::kOkOnWindow, dialogs::kYellow, "\r\nCan not copy 'Page'.");
        return;
    }
    // Unsaved edits go into the slot first, so that the copy carries them; both are one step.
    const ovn::MenuSnapshot before = Snapshot();
    if (state.ItemChanged && !StoreValidItem()) return;

    const int source = state.CurrentItemIndex;
    const int target = (*page - 1) * ovn::kItemsPerPage + *item;
    if (source != target) {
        state.MenuItems[static_cast<std::size_t>(target)] = state.MenuItems[static_cast<std::size_t>(source)];
        SetupOpeningFormAndMenuInfo(ListMode::RefreshNames);
        if (!lstItems->SetListIndex(line)) lstItems_Click();
        Ask(dialogs::kOkOnWindow, dialogs::kYellow, "\r\nItem copy complete.");
    }
    RecordStep(before, false);
    txtPage->SetText("");
    txtItem->SetText("");
}

}  // namespace editor
