// Twips, colours, captions and fonts: every caption of the windows fits its
// control, with the font shrunk no more than needed.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <functional>
#include <memory>
#include <string>

#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

TEST(Geometry, TwipsAreFifteenthsOfALogicalPixel) {
    const std::pair<int, int> table[] = {{0, 0},      {15, 1},      {7, 0},    {8, 1},
                                         {2835, 189}, {11115, 741}, {-15, -1}, {-3000, -200}};
    for (const auto& [twips, pixels] : table) EXPECT_EQ(ui::TwipsToPixels(twips), pixels) << twips;
    EXPECT_EQ(ui::PixelsToTwips(741), 11115);
    EXPECT_EQ(ui::ToPixels({180, 2280, 2775, 4260}), QRect(12, 152, 185, 284));
}

TEST(Geometry, ColoursAreBlueGreenRed) {
    EXPECT_EQ(ui::ColorFromBgr(255), QColor(255, 0, 0));
    EXPECT_EQ(ui::ColorFromBgr(65535), QColor(255, 255, 0));
    EXPECT_EQ(ui::ColorFromBgr(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ui::ColorFromBgr(0x00123456), QColor(0x56, 0x34, 0x12));
}

TEST(Geometry, CaptionText) {
    const std::pair<const char*, const char*> table[] = {
        {"\r\nInvalid Entry(s).", "\nInvalid Entry(s)."},
        {"New Menu\r\nselect oven type", "New Menu\nselect oven type"},
        {"a\rb\nc", "a\nb\nc"},
        {"Roast && Hold", "Roast & Hold"},
        {"A & B", "A & B"},
        {"&&&&", "&&"},
        {"", ""},
    };
    for (const auto& [caption, shown] : table) EXPECT_EQ(ui::CaptionText(caption), shown) << caption;
}

TEST(Geometry, LatinOneAndPathsRoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(ui::ToLatin1(ui::FromLatin1(all)), all);
    EXPECT_EQ(ui::FromLatin1("\xE9").at(0).unicode(), 0xE9);
    EXPECT_EQ(ui::ToPath(ui::FromPath("/root/OVENS/M\xC3\xA9NU0001.ovn")), "/root/OVENS/M\xC3\xA9NU0001.ovn");
}

TEST(Geometry, FontsAreDejaVuAtTheGivenSizes) {
    struct Row {
        ui::FontKind kind;
        double points;
        const char* family;
    };
    const Row table[] = {{ui::FontKind::Default, 9.75, "DejaVu Sans"},
                         {ui::FontKind::A, 13.5, "DejaVu Sans"},
                         {ui::FontKind::B, 12, "DejaVu Sans"},
                         {ui::FontKind::Message, 12, "DejaVu Sans"},
                         {ui::FontKind::C, 15, "DejaVu Sans Mono"}};
    for (const Row& row : table) {
        const QFont font = ui::MakeFont(row.kind);
        EXPECT_DOUBLE_EQ(font.pointSizeF(), row.points);
        EXPECT_EQ(QFontInfo(font).family(), row.family);
        EXPECT_EQ(font.weight(), QFont::Normal);
    }
    EXPECT_TRUE(QFontInfo(ui::MakeFont(ui::FontKind::C)).fixedPitch());
}

// The captioned controls of the windows, at their sizes and fonts.
struct CaptionCase {
    const char* name;
    char kind;  // L label, B bordered label, W wrapping label, C command button, K check box, O option, F frame
    int width;
    int height;
    ui::FontKind font;
    const char* caption;
};

class Captions : public ::testing::TestWithParam<CaptionCase> {
protected:
    QWidget* Make(ui::Form& form, const CaptionCase& row) {
        const ui::Place place{60, 60, row.width, row.height};
        switch (row.kind) {
            case 'C':
                return new ui::CommandButton(&form, "cmd", place, row.caption, row.font, 0);
            case 'K':
                return new ui::CheckBox(&form, "chk", place, row.caption, row.font);
            case 'O':
                return new ui::OptionButton(&form, "opt", place, row.caption, row.font, 0);
            case 'F':
                return new ui::Frame(&form, "frm", place, row.caption, row.font);
            default: {
                auto* label = new ui::Label(&form, "lbl", place, "x", row.font,
                                            row.kind == 'L' ? Qt::AlignLeft : Qt::AlignHCenter, row.kind != 'L');
                if (row.kind == 'W') label->SetWordWrap(true);
                label->SetCaption(row.caption);
                return label;
            }
        }
    }
};

TEST_P(Captions, FitTheirControlWithTheFontShrunkJustEnough) {
    const CaptionCase& row = GetParam();
    ui::Form form("frmLooks", 12000, 8000);
    QWidget* control = Make(form, row);
    form.ShowModeless();
    EXPECT_TRUE(ui::CaptionFits(control));
    const double nominal = ui::MakeFont(row.font).pointSizeF();
    const double used = control->font().pointSizeF();
    EXPECT_LE(used, nominal);
    EXPECT_EQ(QFontInfo(control->font()).family(), QFontInfo(ui::MakeFont(row.font)).family());
    if (used < nominal) {
        // A quarter point more would not fit.
        QFont larger = control->font();
        larger.setPointSizeF(used + 0.25);
        control->setFont(larger);
        EXPECT_FALSE(ui::CaptionFits(control)) << "shrunk more than needed: " << used;
    }
    EXPECT_EQ(control->geometry(), ui::ToPixels({60, 60, row.width, row.height}));  // the box is kept
}

using ui::FontKind;
INSTANTIATE_TEST_SUITE_P(
    Windows, Captions,
    ::testing::Values(CaptionCase{"SaveMenuToFile", 'C', 2295, 675, FontKind::B, "Save Menu to File"},
                      CaptionCase{"GetMenuFromFile", 'C', 2295, 675, FontKind::B, "Get Menu from File"},
                      CaptionCase{"Gas", 'O', 915, 315, FontKind::A, "Gas"},
                      CaptionCase{"Electric", 'O', 1275, 315, FontKind::A, "Electric"},
                      CaptionCase{"RoastAndHold", 'K', 1995, 255, FontKind::B, "Roast && Hold"},
                      CaptionCase{"OvenType", 'F', 2835, 795, FontKind::B, "Oven Type"},
                      CaptionCase{"CurrentMenuItems", 'L', 2535, 375, FontKind::A, "Current Menu Items"},
                      CaptionCase{"MenuItemNew", 'B', 4635, 795, FontKind::A, "New Menu\r\nselect oven type"},
                      CaptionCase{"TimeSeparator", 'L', 75, 375, FontKind::A, ":"},
                      CaptionCase{"HH", 'L', 315, 255, FontKind::Default, "HH"},
                      CaptionCase{"CookTimeRange", 'L', 1395, 435, FontKind::Default, "HH:MM\r\n00:00 to 18:00"},
                      CaptionCase{"Item", 'L', 555, 375, FontKind::A, "Item"},
                      CaptionCase{"EnterMenuFilename", 'L', 2235, 435, FontKind::Default,
                                  "Enter Menu Filename,\r\n8 characters, NO extension."},
                      CaptionCase{"Cancel", 'C', 1395, 375, FontKind::Default, "Cancel"},
                      CaptionCase{"MessageQuestion", 'W', 5055, 1275, FontKind::Message,
                                  "\r\nYou are changing Menu Items.\r\nDo you want to save Item 100 information?"},
                      CaptionCase{"MessageYes", 'C', 1575, 435, FontKind::Message, "YES"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Captions, SingleAmpersandIsNoMnemonic) {
    ui::Form form("frmLooks", 6000, 3000);
    ui::CheckBox box(&form, "chk", {60, 60, 3000, 300}, "Salt & Pepper", FontKind::B);
    ui::CommandButton button(&form, "cmd", {60, 600, 3000, 500}, "Roast && Hold", FontKind::B, 0);
    EXPECT_EQ(box.text(), "Salt && Pepper");  // Qt draws "&&" as one "&" and underlines nothing
    EXPECT_EQ(button.text(), "Roast && Hold");
    EXPECT_TRUE(button.shortcut().isEmpty());
}

TEST(Captions, LabelKeepsTheCaptionAsSetAndGrowsBackAfterALongOne) {
    ui::Form form("frmLooks", 6000, 3000);
    ui::Label label(&form, "lblMenuItem", {180, 180, 1635, 375}, "Item", FontKind::A, Qt::AlignRight, true);
    label.SetCaption("A caption far too long for the box");
    EXPECT_LT(label.font().pointSizeF(), 13.5);
    label.SetCaption("Page\r\n");
    EXPECT_EQ(label.Caption(), "Page\r\n");
    EXPECT_EQ(label.text(), "Page\n");
    label.SetCaption("Page");
    EXPECT_DOUBLE_EQ(label.font().pointSizeF(), 13.5);
    form.ShowModeless();
    label.resize(30, label.height());  // a window narrowing the box fits the caption again
    EXPECT_LT(label.font().pointSizeF(), 13.5);
    EXPECT_TRUE(ui::CaptionFits(&label));
    label.SetBackColor(65535);
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(label.autoFillBackground());
}

}  // namespace
