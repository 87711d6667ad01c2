// The command buttons, each answer of their questions, the faults mended in
// them, and a whole menu typed, saved, read back, copied and saved again.
#include <QDir>
#include <QFile>
#include <algorithm>
#include <vector>

#include "EditorFixture.h"
#include "editor/EditorStartup.h"

namespace editortest {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kDefaultBlock = {0x2E, 0xDC, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x58, 0x02, 0x45, 0xA9, 0, 0, 0, 0};
const Bytes kRoastBlock = {0xDB, 0x6E, 0x00, 0x00, 0x52, 0x4F, 0x41, 0x53, 0x54, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0x00, 0x00, 0x18, 0x15, 0x5E, 0x85, 0x41, 0x01, 0x00, 0x00};

// A whole gas menu of default slots with the ROAST block in the given slots.
Bytes ExpectedImage(std::initializer_list<int> roastSlots) {
    Bytes image(ovn::kImageSize, 0);
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        const bool roast = std::find(roastSlots.begin(), roastSlots.end(), slot) != roastSlots.end();
        const Bytes& block = roast ? kRoastBlock : kDefaultBlock;
        std::copy(block.begin(), block.end(), image.begin() + 8 + 24 * slot);
    }
    const std::uint32_t sum = ovn::CalculateByteSum(std::span<const std::uint8_t>(image.data() + 4, 2404));
    for (int i = 0; i < 4; ++i) image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum >> (8 * i));
    return image;
}

Bytes ReadFile(const std::string& path) {
    QFile file(ui::FromPath(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    QFile file(ui::FromPath(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

TEST_F(EditorTest, RoastMenuFromKeyboardToFileAndBack) {
    ChooseOven(0);
    SetBox(W().txtName, "roast");
    SetBox(W().txtCookTemp, "350");
    ChooseEntry(W().cboPowerLevel, "80");
    SetBox(W().txtCookTimeHH, "01");
    SetBox(W().txtCookTimeMM, "30");
    ChooseEntry(W().cboFanSpeed, "LOW");
    SetRoastNHold(true);
    SetBox(W().txtHoldTemp, "160");
    ExpectSaveAs("ROASTMNU");
    Click("cmdBut(1)");  // stores the changed item, then writes the menu
    const std::string path = FilePath("ROASTMNU.ovn");
    EXPECT_EQ(ReadFile(path), ExpectedImage({0}));
    EXPECT_EQ(ovn::Shared().MenuFileName, path);
    EXPECT_EQ(W().Caption(), "R5800 Menu Editor V0.42    [ " + ui::FromPath(path) + " ]");
    EXPECT_EQ(W().lstItems->List(1), "0   ROAST");

    // A fresh window reads it back.
    ovn::ResetMenuState();
    ovn::Shared().MenuDirectory = ui::ToPath(DirPath());
    OpenWindow();
    ExpectMessage(dialogs::kAnswerYes);
    ExpectRead("ROASTMNU.ovn");
    Click("cmdBut(2)");
    EXPECT_EQ(W().DetermineOvenType(), ovn::kGasOven);
    EXPECT_EQ(W().txtName->Text(), "ROAST");
    EXPECT_EQ(W().txtCookTemp->Text(), "350");
    EXPECT_EQ(W().txtCookTimeHH->Text() + W().txtCookTimeMM->Text(), "0130");
    EXPECT_EQ(W().cboFanSpeed->Text(), "LOW");
    EXPECT_EQ(W().cboPowerLevel->Text(), "80");
    EXPECT_EQ(W().chkRoastNHold->Value(), 1);
    EXPECT_EQ(W().txtHoldTemp->Text(), "160");

    // Copied to page 10 item 9 and saved again.
    SetBox(W().txtPage, "10");
    SetBox(W().txtItem, "9");
    SeenMessage done;
    ExpectMessage(dialogs::kAnswerOk, &done);
    Click("cmdBut(6)");
    EXPECT_EQ(done.text, "\r\nItem copy complete.");
    EXPECT_EQ(W().lstItems->List(109), "9   ROAST");
    ExpectSaveAs("ROASTMN2");
    Click("cmdBut(1)");
    EXPECT_EQ(ReadFile(FilePath("ROASTMN2.ovn")), ExpectedImage({0, 99}));
}

struct DamageRow {
    const char* label;
    std::function<void(Bytes&)> damage;
    bool notice;
};
void PrintTo(const DamageRow& row, std::ostream* out) {
    *out << row.label;
}

class DamagedFileTest : public EditorTest, public ::testing::WithParamInterface<DamageRow> {};

TEST_P(DamagedFileTest, IsLoadedAndNamed) {
    Bytes bytes = ExpectedImage({3});
    bytes[5] = 1;  // electric
    const std::uint32_t sum = ovn::CalculateByteSum(std::span<const std::uint8_t>(bytes.data() + 4, 2404));
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum >> (8 * i));
    GetParam().damage(bytes);
    WriteFile(FilePath("DAMAGED1.ovn"), bytes);

    ExpectMessage(dialogs::kAnswerYes);
    ExpectRead("DAMAGED1.ovn");
    SeenMessage notice;
    if (GetParam().notice) ExpectMessage(dialogs::kAnswerOk, &notice);
    Click("cmdBut(2)");
    EXPECT_EQ(W().DetermineOvenType(), ovn::kElectricOven);
    EXPECT_EQ(W().lstItems->List(4).left(4), "3   ");
    if (GetParam().notice) {
        EXPECT_EQ(notice.type, 16);
        EXPECT_EQ(notice.color, dialogs::kYellow);
        EXPECT_EQ(notice.text, "\r\nMenu file is damaged or incomplete.\r\nCheck every item before saving.");
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest,
                         ::testing::Values(DamageRow{"intact", [](Bytes&) {}, false},
                                           DamageRow{"blockCrc", [](Bytes& b) { b[8 + 24 * 50 + 18] ^= 1; }, true},
                                           DamageRow{"byteSum", [](Bytes& b) { b[0] ^= 1; }, true},
                                           DamageRow{"short", [](Bytes& b) { b.resize(2000); }, true},
                                           DamageRow{"long", [](Bytes& b) { b.push_back(0); }, true}),
                         [](const auto& info) { return std::string(info.param.label); });

struct QuitRow {
    const char* label;
    int oven;  // -1: none chosen, so no question
    bool closeBox;
    int answer;
};
void PrintTo(const QuitRow& row, std::ostream* out) {
    *out << row.label;
}

class QuitTest : public EditorTest, public ::testing::WithParamInterface<QuitRow> {};

TEST_P(QuitTest, AsksOnceInRedOnceAnOvenTypeIsChosen) {
    const QuitRow& row = GetParam();
    bool ended = false;
    W().onClosed = [&ended] { ended = true; };
    if (row.oven >= 0) ChooseOven(row.oven);
    SeenMessage seen;
    if (row.oven >= 0) ExpectMessage(row.answer, &seen);
    if (row.closeBox) {
        W().close();
    } else {
        Click("cmdBut(0)");
    }
    if (row.oven >= 0) {
        EXPECT_EQ(seen.type, 1);
        EXPECT_EQ(seen.color, dialogs::kRed);
        EXPECT_EQ(seen.text, "\r\nAll unsaved Menu Information\r\nwill be lost. Do you want to continue ?");
    }
    EXPECT_EQ(W().isVisible(), row.answer == dialogs::kAnswerNo);
    EXPECT_EQ(ended, row.answer != dialogs::kAnswerNo);
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitTest,
                         ::testing::Values(QuitRow{"noOvenType", -1, false, dialogs::kAnswerYes},
                                           QuitRow{"closeBoxNoOvenType", -1, true, dialogs::kAnswerYes},
                                           QuitRow{"quitYes", 0, false, dialogs::kAnswerYes},
                                           QuitRow{"quitNo", 1, false, dialogs::kAnswerNo},
                                           QuitRow{"closeBoxYes", 0, true, dialogs::kAnswerYes},
                                           QuitRow{"closeBoxNo", 0, true, dialogs::kAnswerNo}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(EditorTest, AnswersOtherThanYesChangeNothing) {
    ChooseOven(0);
    SetBox(W().txtName, "KEEP");
    Click("cmdBut(3)");
    ovn::Shared().MenuFileName = "kept";
    const auto items = ovn::Shared().MenuItems;
    const QString caption = W().Caption();
    const struct {
        const char* button;
        const char* text;
    } rows[] = {
        {"cmdBut(2)", "\r\nALL Current Menu Information\r\nwill be deleted. Do you want to continue ?"},
        {"cmdBut(4)", "\r\nAre you sure you want to\r\nclear ALL Item information ?"},
        {"cmdBut(5)", "\r\nAre you sure you want to\r\nclear ALL Menu information ?"},
    };
    for (const auto& row : rows) {
        SeenMessage seen;
        ExpectMessage(dialogs::kAnswerNo, &seen);
        Click(row.button);
        EXPECT_EQ(seen.type, 17) << row.button;
        EXPECT_EQ(seen.color, dialogs::kYellow) << row.button;
        EXPECT_EQ(seen.text, row.text);
    }
    ExpectMessage(dialogs::kAnswerYes);
    ExpectCancelledChooser();
    Click("cmdBut(2)");
    ExpectCancelledChooser();
    Click("cmdBut(1)");  // nothing changed: straight to the chooser
    SetBox(W().txtCookTemp, "100");
    SeenMessage invalid;
    ExpectMessage(dialogs::kAnswerOk, &invalid);
    Click("cmdBut(1)");  // a changed, invalid item: no chooser
    EXPECT_EQ(invalid.text, kInvalidEntries);
    EXPECT_EQ(ovn::Shared().MenuItems, items);
    EXPECT_EQ(ovn::Shared().MenuFileName, "kept");
    EXPECT_EQ(W().Caption(), caption);
    EXPECT_EQ(W().txtName->Text(), "KEEP");
    EXPECT_TRUE(QDir(DirPath()).entryList(QDir::Files).isEmpty());
}

TEST_F(EditorTest, ClearItemAndAPageLine) {
    ovn::Shared().MenuItems[9].Name = "LAST";
    ChooseOven(0);
    SetBox(W().txtName, "GONE");
    Click("cmdBut(3)");
    ASSERT_EQ(W().lstItems->List(1), "0   GONE");
    SetBox(W().txtCookTemp, "100");
    ExpectMessage(dialogs::kAnswerOk);
    Click("cmdBut(3)");  // leaves a red box behind
    ExpectMessage(dialogs::kAnswerYes);
    Click("cmdBut(4)");
    EXPECT_EQ(ovn::Shared().MenuItems[0], ovn::DefaultItem());
    EXPECT_EQ(W().lstItems->List(1), "0   ");
    EXPECT_EQ(W().txtCookTemp->Text(), "325");
    EXPECT_FALSE(IsRed(W().txtCookTemp));
    EXPECT_FALSE(ovn::Shared().ItemChanged);

    ClickLine(11);       // page 2, whose line would give slot 9
    Click("cmdBut(4)");  // asks nothing, clears nothing
    SeenMessage invalid, page;
    ExpectMessage(dialogs::kAnswerOk, &invalid);
    Click("cmdBut(3)");
    SetBox(W().txtPage, "3");
    SetBox(W().txtItem, "3");
    ExpectMessage(dialogs::kAnswerOk, &page);
    Click("cmdBut(6)");
    EXPECT_EQ(invalid.text, kInvalidEntries);
    EXPECT_EQ(page.text, "\r\nCan not copy 'Page'.");
    EXPECT_EQ(W().lstItems->List(11), "> Page 2");
    EXPECT_EQ(ovn::Shared().MenuItems[9].Name, "LAST");
}

struct CopyRow {
    const char* label;
    const char* page;
    const char* item;
    const char* message;  // "" when none is shown
    int target;           // -1 when nothing is copied
};
void PrintTo(const CopyRow& row, std::ostream* out) {
    *out << row.label;
}

class CopyToTest : public EditorTest, public ::testing::WithParamInterface<CopyRow> {};

TEST_P(CopyToTest, CopiesOrTells) {
    const CopyRow& row = GetParam();
    ChooseOven(0);
    SetBox(W().txtName, "SRC");
    Click("cmdBut(3)");
    SetBox(W().txtPage, row.page);
    SetBox(W().txtItem, row.item);
    SeenMessage seen;
    if (*row.message != '\0') ExpectMessage(dialogs::kAnswerOk, &seen);
    Click("cmdBut(6)");
    EXPECT_EQ(seen.text, row.message);
    if (*row.message != '\0') {
        EXPECT_EQ(seen.color, dialogs::kYellow);
    }
    for (int slot = 1; slot < 100; ++slot)
        EXPECT_EQ(ovn::Shared().MenuItems[slot].Name, slot == row.target ? "SRC" : "") << slot;
    const bool emptied = row.target >= 0 || std::string(row.label) == "sameSlot";
    EXPECT_EQ(W().txtPage->Text(), emptied ? "" : row.page);
    EXPECT_EQ(ovn::Shared().CurrentListIndex, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, CopyToTest,
    ::testing::Values(CopyRow{"pageMissing", "", "1", "\r\nMissing 'Copy To' information.", -1},
                      CopyRow{"itemMissing", "1", "", "\r\nMissing 'Copy To' information.", -1},
                      CopyRow{"page0", "0", "1", "\r\nInvalid 'Copy To' information.", -1},
                      CopyRow{"page11", "11", "0", "\r\nInvalid 'Copy To' information.", -1},
                      CopyRow{"item10", "1", "10", "\r\nInvalid 'Copy To' information.", -1},
                      CopyRow{"pageBeyond16Bits", "65537", "1", "\r\nInvalid 'Copy To' information.", -1},
                      CopyRow{"itemBeyond16Bits", "1", "65536", "\r\nInvalid 'Copy To' information.", -1},
                      CopyRow{"sameSlot", "1", "0", "", -1},
                      CopyRow{"page1Item5", "01", "5", "\r\nItem copy complete.", 5},
                      CopyRow{"page10Item9", "10", "9", "\r\nItem copy complete.", 99}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(EditorTest, CopyToStoresUnsavedEditsFirst) {
    ChooseOven(0);
    SetBox(W().txtName, "NEW");
    SetBox(W().txtPage, "2");
    SetBox(W().txtItem, "0");
    ExpectMessage(dialogs::kAnswerOk);
    Click("cmdBut(6)");
    EXPECT_EQ(ovn::Shared().MenuItems[0].Name, "NEW");
    EXPECT_EQ(ovn::Shared().MenuItems[10].Name, "NEW");
    EXPECT_FALSE(ovn::Shared().ItemChanged);
    ClickLine(2);  // no question: nothing is left unsaved

    SetBox(W().txtCookTemp, "100");
    SetBox(W().txtPage, "3");
    SetBox(W().txtItem, "0");
    SeenMessage seen;
    ExpectMessage(dialogs::kAnswerOk, &seen);
    Click("cmdBut(6)");
    EXPECT_EQ(seen.text, kInvalidEntries);
    EXPECT_EQ(ovn::Shared().MenuItems[20], ovn::DefaultItem());
}

TEST_F(EditorTest, FailedReadsAndSavesChangeNothingOnScreen) {
    ChooseOven(1);
    const std::string vanished = FilePath("VANISHED.ovn");
    WriteFile(vanished, ExpectedImage({}));
    ASSERT_TRUE(QDir(DirPath()).mkdir("ISAFOLDR.ovn"));  // a directory where the file would go
    std::string readError, saveError;
    ExpectMessage(dialogs::kAnswerYes);
    ExpectRead("VANISHED.ovn", [vanished] { QFile::remove(ui::FromPath(vanished)); });
    testsupport::ExpectErrorBox(Script(), &readError);
    Click("cmdBut(2)");
    ExpectSaveAs("ISAFOLDR");
    testsupport::ExpectErrorBox(Script(), &saveError);
    EXPECT_FALSE(W().MenuToFile());
    EXPECT_EQ(readError, "MenuGet : " + vanished);
    EXPECT_EQ(saveError, "MenuSave : " + FilePath("ISAFOLDR.ovn"));
    EXPECT_EQ(ovn::Shared().MenuFileName, "");
    EXPECT_EQ(W().Caption(), "R5800 Menu Editor V0.42    [ New Menu ]");
    EXPECT_EQ(W().DetermineOvenType(), ovn::kElectricOven);
    EXPECT_EQ(ovn::Shared().CurrentListIndex, 1);
}

TEST_F(EditorTest, StartupFailureShowsOnceAndOpensNoWindow) {
    const QByteArray home = qgetenv("HOME");
    WriteFile(FilePath("plainfile"), {1});
    qputenv("HOME", ui::FromPath(FilePath("plainfile") + "/home").toLocal8Bit());  // a file as parent
    std::unique_ptr<editor::frmOpening> window;
    SeenMessage seen;
    ExpectMessage(dialogs::kAnswerOk, &seen);
    EXPECT_FALSE(editor::RunEditorStartup(window));
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(seen.type, 0);
    EXPECT_EQ(seen.color, dialogs::kRed);
    EXPECT_EQ(seen.text.rfind("\r\nInitialization Error #", 0), 0u) << seen.text;

    qputenv("HOME", DirPath().toLocal8Bit());
    EXPECT_TRUE(editor::RunEditorStartup(window));
    qputenv("HOME", home);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QDir(DirPath() + "/OVENS").exists());
    EXPECT_EQ(ovn::Shared().MenuDirectory, FilePath("OVENS"));
}

}  // namespace
}  // namespace editortest
