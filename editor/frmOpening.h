// The menu editor window: the item list on the left, the fields of the item
// being edited in the middle, the command buttons on the right. The handlers
// carry the names of the controls they serve (lstItems_Click, cmdBut_Click),
// and every control's objectName is its name in the window ("cmdBut(3)").
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "model/MenuHistory.h"
#include "model/MenuModel.h"
#include "ovn/Version.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace editor {

// The window's fixed texts.
inline constexpr const char* kProgramTitle = "R5800 Menu Editor";
inline constexpr const char* kProgramVersion = ovn::kVersion;
inline constexpr const char* kMenuExtension = "ovn";
// The item list: each page line followed by the lines of its page's items.
inline constexpr int kListLinesPerPage = ovn::kItemsPerPage + 1;
inline constexpr int kListLineCount = ovn::kPageCount * kListLinesPerPage;

// What FieldSetup switches the item fields to.
enum class FieldMode {
    WaitForOvenType,  // the oven type open, everything else shut
    Editing,          // the oven type locked, the list and item fields open
    ClearFields,      // the item fields and "Copy To" boxes emptied
    PageLine,         // a page line is selected: the item fields shut
    ClearInvalid,     // the red of a failed validation cleared
};

// What InformationSetup writes into lblMenuItem.
enum class InformationMode {
    SelectOvenType = 0,  // "New Menu" over "select oven type"
    Electric = 1,        // "New Menu" over "Electric"
    Gas = 2,             // "New Menu" over "Gas"
    PageAndItem = 3,     // "Page x" over "Item x"
};

// What ButtonSetup switches the command buttons to ("Quit" always stays enabled).
enum class ButtonMode {
    NoOvenType = 0,  // only "Get Menu from File" and "New Menu" besides "Quit"
    Editing = 1,     // every button enabled
};

// Which caption WindowCaptionMake builds.
enum class CaptionMode {
    NewMenu = 0,   // "... [ New Menu ]"
    FileName = 1,  // "... [ " + MenuFileName + " ]"
};

// What SetupOpeningFormAndMenuInfo does besides rebuilding the list.
enum class ListMode {
    ClearMenu = 0,     // every slot cleared, then the window reset
    ShowMenu = 1,      // the menu's names listed, then the window reset
    RefreshNames = 2,  // the menu's names listed, nothing else
};

// What GetIndex finds for a list line.
enum class IndexKind {
    Page = 0,  // the page of the line given
    Slot = 1,  // the slot of the list's selected line
};

// Command button indices of cmdBut.
enum ButtonIndex : int {
    kQuit = 0,
    kSaveMenuToFile = 1,
    kGetMenuFromFile = 2,
    kSaveItem = 3,
    kClearItem = 4,
    kNewMenu = 5,
    kCopyTo = 6,
};

class frmOpening : public ui::Form {
    Q_OBJECT
public:
    // Builds the controls and runs Form_Load: centred, captioned, 100 default
    // slots in the list, waiting for an oven type.
    frmOpening();
    ~frmOpening() override;

    // Runs after the window has been closed through "Quit" or the close box
    // (the start-up code ends the program there).
    std::function<void()> onClosed;

    // Set-up modes.
    void InformationSetup(InformationMode mode);
    void FieldSetup(FieldMode mode);
    void ButtonSetup(ButtonMode mode);
    QString WindowCaptionMake(CaptionMode mode) const;

    // Item list (ItemList.cpp).
    void SetupOpeningFormAndMenuInfo(ListMode mode);
    bool ItemGetFromMemory(int mitem);
    bool ItemSaveToMemory(int menu);
    QString UpdateItemListEntry(int LIndex, int MIndex);
    int GetIndex(IndexKind kind, int start) const;
    static bool IsPageEntry(const QString& entry);

    // Oven type and item fields (FieldEvents.cpp).
    std::int16_t DetermineOvenType() const;
    bool ValidateItemEntries();

    // Command buttons (CommandButtons.cpp).
    void cmdBut_Click(int Index);
    bool MenuToFile();
    // Steps of "Get Menu from File" after the chooser: read, decode, show,
    // select the file's oven type, warn about a damaged file. False when the
    // file could not be read (nothing on screen changed then).
    bool LoadMenuFile(const std::string& path);

    // Ctrl+P (PrintCard.cpp): the print dialog, then the menu card of the menu in memory.
    void PrintMenuCard();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void EnableOvenType(bool enabled);
    void EnableEditing(bool enabled);
    void EnableItemFields(bool enabled);
    void ClearItemFields();
    void CentreOnScreen();
    void WireEvents();
    void Form_Load();

    void lstItems_Click();
    bool AskToStoreBeforeLeaving();
    void optOvenType_Click(int Index);
    void chkRoastNHold_Click();
    void cboFanSpeed_Click();
    void cboPowerLevel_Click();
    int ItemBoxKeyPress(int keyChar);
    void PadTimeBoxOnLeave(ui::TextBox* box);
    bool QueryUnload();

    // Puts the list selection back on the line being edited; the click this
    // raises is ignored, and the flag never outlives the call.
    void ReturnToCurrentLine();
    // Records this window's centre for the message dialog (FormCenterX/Y).
    void SetOpeningFormCenter();
    std::int16_t Ask(std::int16_t type, std::uint32_t color, const std::string& text);
    void StoreCurrentItem();
    // Stores the fields in the current item's slot when they are valid; else
    // the bad ones turn red, the user hears "Invalid Entry(s)." and it is false.
    bool StoreValidItem();
    void RewriteCurrentListLine();
    std::string ChooseMenuFile(std::int16_t mode);
    void QuitEditor();
    void SaveMenuToFile();
    void GetMenuFromFile();
    void SaveItem();
    void ClearItem();
    void NewMenu();
    void CopyTo();
    void CloseEditor();

    // Undo and redo of menu changes (MenuUndo.cpp).
    void WireUndoKeys();
    ovn::MenuSnapshot Snapshot() const;
    // Makes the change from `before` to the menu now one undo step (none when nothing changed).
    void RecordStep(const ovn::MenuSnapshot& before, bool wholeMenu);
    // StoreValidItem as a menu change of its own.
    bool StoreValidItemAsStep();
    void UndoOrRedo(bool redo);
    void ApplyStep(const ovn::MenuStep& step);

public:
    // Controls, named as on the window.
    ui::CommandButtonArray* cmdBut = nullptr;
    ui::OptionGroup* optOvenType = nullptr;
    ui::Frame* frmOvenType = nullptr;
    ui::Frame* frmRoastNHold = nullptr;
    ui::ListBox* lstItems = nullptr;
    ui::TextBox* txtName = nullptr;
    ui::TextBox* txtCookTemp = nullptr;
    ui::ComboBox* cboPowerLevel = nullptr;
    ui::TextBox* txtCookTimeHH = nullptr;
    ui::TextBox* txtCookTimeMM = nullptr;
    ui::ComboBox* cboFanSpeed = nullptr;
    ui::CheckBox* chkRoastNHold = nullptr;
    ui::TextBox* txtHoldTemp = nullptr;
    ui::TextBox* txtPage = nullptr;
    ui::TextBox* txtItem = nullptr;
    ui::Label* lblItems = nullptr;
    ui::Label* lblMenuItem = nullptr;
    ui::Label* lblCookTemp = nullptr;
    ui::Label* lblPowerLevel = nullptr;
    ui::Label* lblCookTime = nullptr;
    ui::Label* lblName = nullptr;
    ui::Label* lblFanSpeed = nullptr;
    ui::Label* lblHoldTemp = nullptr;
    ui::Label* lblCookTimeSep1 = nullptr;
    ui::Label* lblPowerLevelPer = nullptr;
    ui::Label* lblCookTimeHH = nullptr;
    ui::Label* lblCookTimeMM = nullptr;
    ui::Label* lblCookTempRange = nullptr;
    ui::Label* lblCookTimRange = nullptr;
    ui::Label* lblHoldTempRange = nullptr;
    ui::Label* lblPage = nullptr;
    ui::Label* lblItem = nullptr;

private:
    bool closeApproved_ = false;
    ovn::MenuHistory history_;
    // Whether the item on screen had unstored edits before the shortcut key now
    // being handled: an item box's key handler marks the item changed before a
    // window shortcut on the same key runs (Form::onShortcutKey).
    bool itemChangedBeforeKey_ = false;
};

}  // namespace editor
