// The window's layout table, its set-up modes and its load.
#include "editor/frmOpening.h"

#include <QCloseEvent>
#include <QWidget>
#include <array>
#include <map>
#include <type_traits>

#include "model/MenuModel.h"
#include "ui/Accessibility.h"
#include "ui/Geometry.h"

namespace editor {

namespace {

enum class Kind { CommandButton, OptionButton, ListBox, TextBox, ComboBox, CheckBox, Label, BorderLabel, Frame };

// One control of the window, in tab order. Positions are twips, relative to
// the window or to the frame named in `inside`.
struct ControlRow {
    const char* name;
    int index;  // array index, -1 for a single control
    Kind kind;
    const char* inside;  // nullptr: the window
    const char* caption;
    ui::Place place;
    ui::FontKind font;
    Qt::Alignment align;
    void (*bind)(frmOpening& form, QWidget* control);  // stores a single control in its member (B below)
};

template <auto Member>
void Bind(frmOpening& form, QWidget* control) {
    using Control = std::remove_pointer_t<std::remove_reference_t<decltype(form.*Member)>>;
    form.*Member = static_cast<Control*>(control);
}
template <auto Member>
constexpr auto B = &Bind<Member>;  // short, for the table

using F = ui::FontKind;
constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

// clang-format off
const std::array<ControlRow, 39> kControls = {{
    {"cmdBut", 5, Kind::CommandButton, nullptr, "New Menu", {180, 180, 2835, 735}, F::B, kLeft, nullptr},
    {"optOvenType", 0, Kind::OptionButton, "frmOvenType", "Gas", {120, 360, 915, 315}, F::A, kLeft, nullptr},
    {"optOvenType", 1, Kind::OptionButton, "frmOvenType", "Electric", {1260, 360, 1275, 315}, F::A, kLeft, nullptr},
    {"lstItems", -1, Kind::ListBox, nullptr, "", {180, 2280, 2775, 4260}, F::C, kLeft, B<&frmOpening::lstItems>},
    {"txtName", -1, Kind::TextBox, nullptr, "XXXXXXXX", {5280, 1260, 1875, 480}, F::A, kLeft, B<&frmOpening::txtName>},
    {"txtCookTemp", -1, Kind::TextBox, nullptr, "", {5280, 1860, 1275, 480}, F::A, kLeft, B<&frmOpening::txtCookTemp>},
    {"cboPowerLevel", -1, Kind::ComboBox, nullptr, "", {5280, 2460, 1335, 480}, F::A, kLeft, B<&frmOpening::cboPowerLevel>},
    {"txtCookTimeHH", -1, Kind::TextBox, nullptr, "", {5280, 3060, 555, 480}, F::A, kCentre, B<&frmOpening::txtCookTimeHH>},
    {"txtCookTimeMM", -1, Kind::TextBox, nullptr, "", {6000, 3060, 555, 480}, F::A, kCentre, B<&frmOpening::txtCookTimeMM>},
    {"cboFanSpeed", -1, Kind::ComboBox, nullptr, "", {5280, 3900, 1335, 480}, F::A, kLeft, B<&frmOpening::cboFanSpeed>},
    {"chkRoastNHold", -1, Kind::CheckBox, "frmRoastNHold", "Roast && Hold", {120, 0, 1995, 255}, F::B, kLeft, B<&frmOpening::chkRoastNHold>},
    {"txtHoldTemp", -1, Kind::TextBox, "frmRoastNHold", "", {1800, 360, 1335, 480}, F::A, kLeft, B<&frmOpening::txtHoldTemp>},
    {"cmdBut", 3, Kind::CommandButton, nullptr, "Save Item", {8580, 180, 2295, 675}, F::B, kLeft, nullptr},
    {"cmdBut", 4, Kind::CommandButton, nullptr, "Clear Item", {8580, 1140, 2295, 675}, F::B, kLeft, nullptr},
    {"cmdBut", 1, Kind::CommandButton, nullptr, "Save Menu to File", {8580, 2160, 2295, 675}, F::B, kLeft, nullptr},
    {"cmdBut", 2, Kind::CommandButton, nullptr, "Get Menu from File", {8580, 3120, 2295, 675}, F::B, kLeft, nullptr},
    {"cmdBut", 0, Kind::CommandButton, nullptr, "Quit", {8580, 5940, 2295, 675}, F::B, kLeft, nullptr},
    {"lblItems", -1, Kind::Label, nullptr, "Current Menu Items", {180, 1920, 2535, 375}, F::A, kLeft, B<&frmOpening::lblItems>},
    {"lblMenuItem", -1, Kind::BorderLabel, nullptr, "x", {3480, 180, 4635, 795}, F::A, kCentre, B<&frmOpening::lblMenuItem>},
    {"lblCookTemp", -1, Kind::Label, nullptr, "Cook Temp", {3480, 1905, 1635, 375}, F::A, kRight, B<&frmOpening::lblCookTemp>},
    {"lblPowerLevel", -1, Kind::Label, nullptr, "Power Level", {3480, 2505, 1635, 375}, F::A, kRight, B<&frmOpening::lblPowerLevel>},
    {"lblCookTime", -1, Kind::Label, nullptr, "Cook Time", {3480, 3105, 1635, 375}, F::A, kRight, B<&frmOpening::lblCookTime>},
    {"lblName", -1, Kind::Label, nullptr, "Item Name", {3480, 1305, 1635, 375}, F::A, kRight, B<&frmOpening::lblName>},
    {"lblFanSpeed", -1, Kind::Label, nullptr, "Fan Speed", {3480, 3960, 1635, 375}, F::A, kRight, B<&frmOpening::lblFanSpeed>},
    {"frmRoastNHold", -1, Kind::Frame, nullptr, "", {3480, 4560, 4635, 1035}, F::Default, kLeft, B<&frmOpening::frmRoastNHold>},
    {"lblHoldTemp", -1, Kind::Label, "frmRoastNHold", "Hold Temp", {180, 360, 1455, 375}, F::A, kRight, B<&frmOpening::lblHoldTemp>},
    {"frmOvenType", -1, Kind::Frame, nullptr, "Oven Type", {180, 1020, 2835, 795}, F::B, kLeft, B<&frmOpening::frmOvenType>},
    {"lblCookTimeSep1", -1, Kind::Label, nullptr, ":", {5880, 3120, 75, 375}, F::A, kCentre, B<&frmOpening::lblCookTimeSep1>},
    {"lblPowerLevelPer", -1, Kind::Label, nullptr, "%", {6600, 2520, 315, 375}, F::A, kCentre, B<&frmOpening::lblPowerLevelPer>},
    {"lblCookTimeHH", -1, Kind::Label, nullptr, "HH", {5400, 3540, 315, 255}, F::Default, kCentre, B<&frmOpening::lblCookTimeHH>},
    {"lblCookTimeMM", -1, Kind::Label, nullptr, "MM", {6120, 3540, 315, 255}, F::Default, kCentre, B<&frmOpening::lblCookTimeMM>},
    {"lblCookTempRange", -1, Kind::Label, nullptr, "", {6660, 1860, 1335, 435}, F::Default, kLeft, B<&frmOpening::lblCookTempRange>},
    {"lblCookTimRange", -1, Kind::Label, nullptr, "", {6660, 3060, 1395, 435}, F::Default, kLeft, B<&frmOpening::lblCookTimRange>},
    {"lblHoldTempRange", -1, Kind::Label, "frmRoastNHold", "", {3240, 480, 1275, 255}, F::Default, kLeft, B<&frmOpening::lblHoldTempRange>},
    {"cmdBut", 6, Kind::CommandButton, nullptr, "Copy To", {8580, 4200, 2295, 675}, F::B, kLeft, nullptr},
    {"txtPage", -1, Kind::TextBox, nullptr, "", {9360, 4980, 435, 420}, F::A, kCentre, B<&frmOpening::txtPage>},
    {"lblPage", -1, Kind::Label, nullptr, "Page", {8580, 4980, 735, 375}, F::A, kRight, B<&frmOpening::lblPage>},
    {"txtItem", -1, Kind::TextBox, nullptr, "", {10440, 4980, 435, 420}, F::A, kCentre, B<&frmOpening::txtItem>},
    {"lblItem", -1, Kind::Label, nullptr, "Item", {9840, 4980, 555, 375}, F::A, kRight, B<&frmOpening::lblItem>},
}};
// clang-format on

struct LineRow {
    const char* name;
    int x1, y1, x2, y2;
};
const std::array<LineRow, 5> kLines = {{
    {"Line1", 3240, 0, 3240, 6780},
    {"Line4", 8340, 0, 8340, 6780},
    {"Line3", 8340, 1980, 11100, 1980},
    {"Line2", 8340, 3960, 11100, 3960},
    {"Line5", 8340, 5580, 11100, 5580},
}};

// Each label names the control beside it for assistive technology.
const std::pair<const char*, const char*> kLabelFor[] = {
    {"lblItems", "lstItems"},         {"lblName", "txtName"},
    {"lblCookTemp", "txtCookTemp"},   {"lblPowerLevel", "cboPowerLevel"},
    {"lblCookTime", "txtCookTimeHH"}, {"lblCookTimeMM", "txtCookTimeMM"},
    {"lblFanSpeed", "cboFanSpeed"},   {"lblHoldTemp", "txtHoldTemp"},
    {"lblPage", "txtPage"},           {"lblItem", "txtItem"},
};
// The two halves of the cook time share one label.
const std::pair<const char*, const char*> kNames[] = {
    {"txtCookTimeHH", "Cook Time hours"},
    {"txtCookTimeMM", "Cook Time minutes"},
};

// The second line of lblMenuItem for InformationSetup's modes SelectOvenType, Electric and Gas.
constexpr std::array<const char*, 3> kNewMenuLine = {"select oven type", "Electric", "Gas"};

constexpr int kClientWidthTwips = 11115;
constexpr int kClientHeightTwips = 6780;

QString ControlName(const ControlRow& row) {
    return row.index < 0 ? QString(row.name) : ui::ArrayElementName(row.name, row.index);
}

// The control a row describes, inside `parent`; a frame already exists.
QWidget* MakeControl(frmOpening& form, const ControlRow& row, QWidget* parent, QWidget* frame) {
    const QString name = ControlName(row);
    switch (row.kind) {
        case Kind::CommandButton:
            return form.cmdBut->Add(parent, row.index, row.place, row.caption, row.font);
        case Kind::OptionButton:
            return form.optOvenType->Add(parent, row.index, row.place, row.caption, row.font);
        case Kind::ListBox:
            return new ui::ListBox(parent, name, row.place, row.font);
        case Kind::TextBox: {
            auto* box = new ui::TextBox(parent, name, row.place, row.font, row.align);
            box->SetText(row.caption);
            return box;
        }
        case Kind::ComboBox:
            return new ui::ComboBox(parent, name, row.place, row.font);
        case Kind::CheckBox:
            return new ui::CheckBox(parent, name, row.place, row.caption, row.font);
        case Kind::Label:
        case Kind::BorderLabel:
            return new ui::Label(parent, name, row.place, row.caption, row.font, row.align,
                                 row.kind == Kind::BorderLabel);
        case Kind::Frame:
            break;
    }
    return frame;
}

}  // namespace

frmOpening::frmOpening() : ui::Form("frmOpening", kClientWidthTwips, kClientHeightTwips) {
    BuildControls();
    WireEvents();
    Form_Load();
}

frmOpening::~frmOpening() = default;

void frmOpening::BuildControls() {
    cmdBut = new ui::CommandButtonArray("cmdBut", this);
    optOvenType = new ui::OptionGroup("optOvenType", this);

    // Frames first, since other controls sit inside them.
    std::map<QString, QWidget*> byName;
    for (const auto& row : kControls) {
        if (row.kind != Kind::Frame) continue;
        byName[row.name] = new ui::Frame(this, row.name, row.place, row.caption, row.font);
    }

    std::vector<QWidget*> tabOrder;
    for (const auto& row : kControls) {
        QWidget* parent = row.inside == nullptr ? static_cast<QWidget*>(this) : byName.at(row.inside);
        const QString name = ControlName(row);
        QWidget* widget = MakeControl(*this, row, parent, row.kind == Kind::Frame ? byName.at(name) : nullptr);
        byName[name] = widget;
        if (row.bind != nullptr) row.bind(*this, widget);
        if (widget->focusPolicy() != Qt::NoFocus) tabOrder.push_back(widget);
    }
    for (std::size_t i = 1; i < tabOrder.size(); ++i) QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    for (const auto& line : kLines) new ui::Line(this, line.name, line.x1, line.y1, line.x2, line.y2);

    for (const auto& [label, control] : kLabelFor)
        ui::LabelControl(static_cast<QLabel*>(byName.at(label)), byName.at(control));
    for (const auto& [control, name] : kNames) ui::NameControl(byName.at(control), name);
}

void frmOpening::Form_Load() {
    SetCaption(WindowCaptionMake(CaptionMode::NewMenu));
    PlaceBy([this] { CentreOnScreen(); });
    SetupOpeningFormAndMenuInfo(ListMode::ClearMenu);
    ovn::Shared().CurrentListIndex = -1;
}

void frmOpening::CentreOnScreen() {
    const float top = static_cast<float>(ScreenHeightTwips()) / 2 - static_cast<float>(HeightTwips()) / 2;
    const float left = static_cast<float>(ScreenWidthTwips()) / 2 - static_cast<float>(WidthTwips()) / 2;
    MoveTwips(ui::RoundHalfEven(left), ui::RoundHalfEven(top));
}

void frmOpening::closeEvent(QCloseEvent* event) {
    ui::Form::closeEvent(event);
    if (event->isAccepted() && onClosed) onClosed();
}

void frmOpening::InformationSetup(InformationMode mode) {
    switch (mode) {
        case InformationMode::SelectOvenType:
        case InformationMode::Electric:
        case InformationMode::Gas:
            lblMenuItem->SetCaption(QString("New Menu\r\n") + kNewMenuLine[static_cast<std::size_t>(mode)]);
            break;
        case InformationMode::PageAndItem:
            lblMenuItem->SetCaption("Page x\r\nItem x");
            break;
        default:
            break;
    }
}

void frmOpening::ButtonSetup(ButtonMode mode) {
    const bool editing = mode == ButtonMode::Editing;
    cmdBut->Button(kSaveMenuToFile)->setEnabled(editing);
    cmdBut->Button(kGetMenuFromFile)->setEnabled(true);
    cmdBut->Button(kSaveItem)->setEnabled(editing);
    cmdBut->Button(kClearItem)->setEnabled(editing);
    cmdBut->Button(kNewMenu)->setEnabled(true);
    cmdBut->Button(kCopyTo)->setEnabled(editing);
}

void frmOpening::FieldSetup(FieldMode mode) {
    switch (mode) {
        case FieldMode::WaitForOvenType:
            EnableOvenType(true);
            for (int index : {0, 1}) optOvenType->SetValue(index, false);
            EnableEditing(false);
            lblCookTempRange->SetCaption("");
            lblCookTimRange->SetCaption("");
            lblHoldTempRange->SetCaption("");
            break;
        case FieldMode::Editing:  // the oven type is locked
            EnableOvenType(false);
            EnableEditing(true);
            break;
        case FieldMode::ClearFields:
            ClearItemFields();
            break;
        case FieldMode::PageLine:  // no item fields
            EnableItemFields(false);
            break;
        case FieldMode::ClearInvalid:  // the red of a failed validation
            for (ui::TextBox* box : {txtName, txtCookTemp, txtCookTimeHH, txtCookTimeMM, txtHoldTemp})
                box->SetSystemBackColor();
            break;
    }
}

void frmOpening::EnableOvenType(bool enabled) {
    frmOvenType->setEnabled(enabled);
    for (int index : {0, 1}) optOvenType->Button(index)->setEnabled(enabled);
}

// The list, the item fields and the "Copy To" boxes; the hold temperature
// waits for "Roast & Hold".
void frmOpening::EnableEditing(bool enabled) {
    lstItems->setEnabled(enabled);
    EnableItemFields(enabled);
    txtPage->setEnabled(enabled);
    txtItem->setEnabled(enabled);
    lblItems->setEnabled(enabled);
    lblPage->setEnabled(enabled);
    lblItem->setEnabled(enabled);
}

void frmOpening::EnableItemFields(bool enabled) {
    for (QWidget* field : std::initializer_list<QWidget*>{txtName, txtCookTemp, cboPowerLevel, txtCookTimeHH,
                                                          txtCookTimeMM, cboFanSpeed, frmRoastNHold})
        field->setEnabled(enabled);
    for (ui::Label* label : {lblName, lblCookTemp, lblPowerLevel, lblPowerLevelPer, lblCookTime, lblCookTimeHH,
                             lblCookTimeMM, lblCookTimeSep1, lblFanSpeed})
        label->setEnabled(enabled);
    chkRoastNHold->SetValue(0);
    chkRoastNHold->setEnabled(enabled);
    txtHoldTemp->setEnabled(false);
    lblHoldTemp->setEnabled(false);
}

void frmOpening::ClearItemFields() {
    txtName->SetText("");
    txtCookTemp->SetText("");
    cboPowerLevel->SetListIndex(cboPowerLevel->ListCount() - 1);
    txtCookTimeHH->SetText("");
    txtCookTimeMM->SetText("");
    cboFanSpeed->SetListIndex(cboFanSpeed->ListCount() - 1);
    frmRoastNHold->setEnabled(true);
    chkRoastNHold->SetValue(0);
    chkRoastNHold->setEnabled(true);
    txtHoldTemp->SetText("");
    txtPage->SetText("");
    txtItem->SetText("");
}

QString frmOpening::WindowCaptionMake(CaptionMode mode) const {
    const QString title = QString("%1 V%2    [ ").arg(kProgramTitle, kProgramVersion);
    switch (mode) {
        case CaptionMode::NewMenu:
            return title + "New Menu ]";
        case CaptionMode::FileName:
            return title + ui::FromPath(ovn::Shared().MenuFileName) + " ]";
        default:
            return "ERROR";
    }
}

}  // namespace editor
