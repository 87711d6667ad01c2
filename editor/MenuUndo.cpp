// Undo and redo of menu changes: Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y. Unstored
// edits on screen are undone first, by loading the item's slot again; then
// each key steps through the menu's history (model/MenuHistory.h).
#include <QKeySequence>
#include <optional>

#include "editor/frmOpening.h"
#include "model/MenuModel.h"

namespace editor {

void frmOpening::WireUndoKeys() {
    // An item box marks the item changed before the shortcut runs: note the state the key found.
    onShortcutKey = [this] { itemChangedBeforeKey_ = ovn::Shared().ItemChanged; };
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { UndoOrRedo(false); });
    AddShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { UndoOrRedo(true); });
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { UndoOrRedo(true); });
}

ovn::MenuSnapshot frmOpening::Snapshot() const {
    const auto& state = ovn::Shared();
    return {state.MenuItems, DetermineOvenType(), state.MenuImage[ovn::kTrailingByte], state.MenuFileName};
}

void frmOpening::RecordStep(const ovn::MenuSnapshot& before, bool wholeMenu) {
    history_.Record(before, Snapshot(), wholeMenu);
}

bool frmOpening::StoreValidItemAsStep() {
    const ovn::MenuSnapshot before = Snapshot();
    const bool stored = StoreValidItem();
    RecordStep(before, false);
    return stored;
}

void frmOpening::UndoOrRedo(bool redo) {
    auto& state = ovn::Shared();
    if (itemChangedBeforeKey_ && state.CurrentItemIndex >= 0) {
        // The edits on screen go first: the fields show the slot again, and nothing else changes.
        FieldSetup(FieldMode::ClearInvalid);
        ItemGetFromMemory(state.CurrentItemIndex);
        state.ItemChanged = false;
        return;
    }
    const ovn::MenuSnapshot current = Snapshot();
    const std::optional<ovn::MenuStep> step = redo ? history_.Redo(current) : history_.Undo(current);
    if (step) ApplyStep(*step);
}

// The window as the user would have reached that menu by hand.
void frmOpening::ApplyStep(const ovn::MenuStep& step) {
    auto& state = ovn::Shared();
    const ovn::MenuSnapshot& menu = step.Menu;
    const bool sameOven = menu.OvenType == DetermineOvenType();
    state.MenuItems = menu.Items;
    state.MenuImage[ovn::kTrailingByte] = menu.TrailingByte;
    state.MenuFileName = menu.FileName;
    SetCaption(WindowCaptionMake(menu.FileName.empty() ? CaptionMode::NewMenu : CaptionMode::FileName));
    state.ItemChanged = false;

    if (step.WholeMenu || !sameOven || menu.OvenType == ovn::kNoOvenType) {
        // As after "Get Menu from File": slot 0, or the wait for an oven type.
        SetupOpeningFormAndMenuInfo(ListMode::ShowMenu);
        if (menu.OvenType != ovn::kNoOvenType) optOvenType->SetValue(menu.OvenType, true);
        return;
    }
    // As after "Copy To": the list lines rebuilt, the line being edited loaded again.
    const int line = state.CurrentListIndex;
    FieldSetup(FieldMode::ClearInvalid);
    SetupOpeningFormAndMenuInfo(ListMode::RefreshNames);
    if (!lstItems->SetListIndex(line)) lstItems_Click();
}

}  // namespace editor
