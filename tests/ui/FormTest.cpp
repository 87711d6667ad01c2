// Windows (modal shows under a script, flags, placement, closing) and looks (twips, colours, captions, fonts).
#include <QtTest>
#include <QtWidgets>

#include "GuiTest.h"
#include "ui/Controls.h"
#include "ui/ErrorBox.h"
#include "ui/Form.h"

namespace {

using ui::FontKind;

TEST(Form, ModalShowIsAnsweredActiveNestsAndReturnsAfterUnloadWithTheFocusBack) {
    auto script = testsupport::MakeScript();
    ui::Form owner("frmOpening", 11115, 6780), dialog("frmMEMessage100", 5295, 1995, &owner);
    ui::Form inner("frmInner", 2000, 1000, &dialog);
    ui::TextBox name(&owner, "txtName", {5280, 1260, 1875, 480}, FontKind::A);
    std::string order;
    name.onLostFocus = [&] { order += "lost;"; };  // a dialog taking the focus is no leaving of the box
    owner.ShowModeless();
    QApplication::setActiveWindow(&owner);
    name.setFocus();
    script->Expect("frmMEMessage100", [&](QWidget& window) {
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.isModal());
        EXPECT_EQ(QApplication::activeWindow(), &window);
        inner.ShowModal();  // takes the next answer
        order += "outer;";
        dialog.Unload();
    });
    script->Expect("frmInner", [&](QWidget&) {
        order += "inner;";
        inner.Unload();
    });
    dialog.ShowModal();
    EXPECT_EQ(order, "inner;outer;");
    EXPECT_TRUE(dialog.IsUnloaded());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(script->Shown(), 2);
    EXPECT_EQ(QApplication::activeWindow(), &owner);  // the focus is back where it was
    EXPECT_TRUE(name.hasFocus());
}

TEST(Form, ModalScriptFailuresAreReportedAndNothingHangs) {
    const std::tuple<const char*, QStringList, bool, int> rows[] = {
        {"Expected", {"frmDialog"}, true, 0},
        {"NoAnswerLeft", {}, true, 1},
        {"OtherWindowExpected", {"frmOther"}, true, 1},
        {"ActionLeftItOpen", {"frmDialog"}, false, 1},
        {"AnswerNeverUsed", {"frmDialog", "frmDialog"}, true, 1},
    };
    for (const auto& [name, expected, unload, failuresWanted] : rows) {
        ui::Form owner("frmOwner", 6000, 4000), dialog("frmDialog", 3000, 2000, &owner);
        int failures = 0;
        auto script = std::make_unique<ui::ModalScript>([&](const std::string&) { ++failures; });
        for (const QString& window : expected) {
            script->Expect(window, [&, unload = unload](QWidget&) {
                if (unload) dialog.Unload();
            });
        }
        dialog.ShowModal();
        EXPECT_TRUE(dialog.IsUnloaded()) << name;
        EXPECT_FALSE(dialog.isVisible()) << name;
        script.reset();  // reports an answer left unused
        EXPECT_EQ(failures, failuresWanted) << name;
    }
}

TEST(FormDeathTest, ModalShowWithoutAScriptAbortsOffscreen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ui::Form form("frmLonely", 3000, 2000);
    EXPECT_DEATH(form.ShowModal(), "frmLonely.*without a ModalScript");
    EXPECT_DEATH(ui::ShowErrorBox(nullptr, "MenuGet : x"), "ErrorBox.*without a ModalScript");
}

TEST(Form, DialogIsTransientFixedHasTheExactTitleClosesOnlyWithConsentAndStaysInsideTheAvailableArea) {
    ui::Form owner("frmOpening", 11115, 6780), dialog("frmMEMessage100", 5295, 1995, &owner);
    EXPECT_EQ(QSize(owner.WidthTwips(), owner.HeightTwips()), QSize(11115, 6780));  // before the window exists
    dialog.SetCaption("Information");
    owner.ShowModeless();
    dialog.ShowModeless();
    EXPECT_EQ(dialog.windowFlags(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);  // no more buttons
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_EQ(std::pair(dialog.minimumSize(), dialog.maximumSize()), std::pair(QSize(353, 133), QSize(353, 133)));
    EXPECT_EQ(dialog.windowHandle()->title(), "Information");  // no application name appended
    EXPECT_FALSE(dialog.close());                              // no onQueryUnload: refused
    int asked = 0;
    dialog.onQueryUnload = [&] { return ++asked == 2; };
    QTest::keyClick(&dialog, Qt::Key_Escape);  // asks nothing
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(dialog.IsUnloaded());
    EXPECT_FALSE(dialog.isVisible());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner = area.topLeft() * ui::kTwipsPerPixel;
    const QPoint farthest = (area.bottomRight() + QPoint(1, 1)) * ui::kTwipsPerPixel - QPoint(5550, 3810);
    const std::tuple<const char*, QPoint, bool, QPoint> rows[] = {
        {"Inside", corner + QPoint(1005, 1500), true, corner + QPoint(1005, 1500)},
        {"OffLeftAndTop", corner - QPoint(3000, 600), true, corner},
        {"OffRightAndBottom", QPoint(900000, 900000), true, farthest},
        {"MainWindowIsNotKeptInside", corner - QPoint(3000, 600), false, corner - QPoint(3000, 600)},
    };
    for (const auto& [name, wanted, isDialog, placed] : rows) {
        ui::Form form("frmDialog", 5550, 3810, isDialog ? &owner : nullptr);
        form.MoveTwips(wanted.x(), wanted.y());
        EXPECT_EQ(QPoint(form.LeftTwips(), form.TopTwips()), placed) << name;
    }
}

// A window shortcut reaches the window wherever its focus is, after an item box's own key handler has seen the
// key; a dialog over the window keeps its keys.
TEST(Form, WindowShortcutRunsFromAnyControlAfterTheBoxHandlerAndNotFromADialog) {
    ui::Form owner("frmOpening", 11115, 6780);
    ui::TextBox name(&owner, "txtName", {5280, 1260, 1875, 480}, FontKind::A);
    ui::CommandButton button(&owner, "cmdBut", {60, 60, 1500, 500}, "Save Item", FontKind::B, 0);
    std::string order;
    name.onKeyPress = [&](int keyChar) {
        order += "box " + std::to_string(keyChar) + ";";
        return 0;
    };
    owner.AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [&] { order += "print;"; });
    owner.AddShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [&] { order += "redo;"; });
    owner.ShowModeless();
    QApplication::setActiveWindow(&owner);

    name.setFocus();
    QTest::keyClick(&name, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(&name, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&name, Qt::Key_Q, Qt::ControlModifier);  // no shortcut: the handler alone
    EXPECT_EQ(order, "box 16;print;box 26;redo;box 17;");

    order.clear();
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(order, "print;");

    order.clear();
    ui::Form dialog("frmMEMessage100", 5295, 1995, &owner);
    dialog.ShowModeless();
    QApplication::setActiveWindow(&dialog);
    QTest::keyClick(&dialog, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(order, "");
}

// The centre the dialogs stand on: single precision, a half to the even neighbour.
TEST(Form, CentreOfTheOuterFrameRoundsAHalfToTheEvenNeighbour) {
    ui::Form form("frmCentred", 5295, 1995);
    for (auto [left, top, centre] : {std::tuple{1515, 1515, QPoint(4162, 2512)},  // 4162.5 and 2512.5 go down
                                     {1500, 1500, QPoint(4148, 2498)},            // 4147.5 and 2497.5 go up
                                     {-15, 0, QPoint(2632, 998)}}) {
        form.MoveTwips(left, top);
        EXPECT_EQ(form.CenterTwips(), centre) << left << "," << top;
    }
}

TEST(Form, PlacesItselfWhenFirstShownAndNotAgainWhenTheUserMovesIt) {
    ui::Form form("frmPlaced", 3000, 2000);
    int places = 0;  // how often the window was asked to place itself at (1500, 1500) twips
    form.PlaceBy([&] {
        ++places;
        form.MoveTwips(1500, 1500);
    });
    EXPECT_EQ(places, 1);
    form.ShowModeless();
    EXPECT_EQ(std::tuple(places, form.LeftTwips(), form.TopTwips()), std::tuple(2, 1500, 1500));
    form.move(10, 20);  // the frame stays the same (none offscreen): no new placement
    QCoreApplication::processEvents();
    form.hide();
    form.ShowModeless();
    EXPECT_EQ(std::tuple(places, form.LeftTwips(), form.TopTwips()), std::tuple(2, 150, 300));
}

TEST(Looks, TwipsColoursCaptionsFontsAndEightBitTexts) {
    for (auto [twips, pixels] : {std::pair{0, 0}, {7, 0}, {8, 1}, {2835, 189}, {11115, 741}, {-15, -1}, {-3000, -200}})
        EXPECT_EQ(ui::TwipsToPixels(twips), pixels) << twips;
    EXPECT_EQ(ui::ToPixels({180, 2280, 2775, 4260}), QRect(12, 152, 185, 284));
    for (auto [bgr, rgb] :
         {std::pair{255u, 0xFF0000u}, {65535u, 0xFFFF00u}, {0xFF0000u, 0xFFu}, {0x123456u, 0x563412u}})
        EXPECT_EQ(ui::ColorFromBgr(bgr), QColor::fromRgb(rgb)) << bgr;
    for (auto [caption, shown] : {std::pair{"a\rb\r\nc\n", "a\nb\nc\n"},
                                  {"Roast && Hold", "Roast & Hold"},
                                  {"A & B", "A & B"},
                                  {"&&&&", "&&"},
                                  {"", ""}})
        EXPECT_EQ(ui::CaptionText(caption), shown) << caption;
    for (FontKind kind : {FontKind::Default, FontKind::A, FontKind::B, FontKind::Message})
        EXPECT_EQ(QFontInfo(ui::MakeFont(kind)).family(), "DejaVu Sans");
    EXPECT_TRUE(QFontInfo(ui::MakeFont(FontKind::C)).fixedPitch());
    // The windows' fonts look up no fallback fonts, so their families must hold every printable Latin-1
    // character; fonts for file names keep the fallbacks.
    for (FontKind kind : {FontKind::Default, FontKind::C}) {
        const QFontMetrics metrics(ui::MakeFont(kind));
        for (char16_t c = 32; c < 256; ++c) EXPECT_TRUE((c >= 127 && c < 160) || metrics.inFont(QChar(c))) << int(c);
    }
    EXPECT_EQ(ui::MakeFontForNames(FontKind::Default).styleStrategy() & QFont::NoFontMerging, 0);
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(ui::ToLatin1(ui::FromLatin1(all)), all);
    EXPECT_EQ(ui::ToPath(ui::FromPath("/root/M\xC3\xA9NU.ovn")), "/root/M\xC3\xA9NU.ovn");
}

enum class Kind { Button, Option, CheckBox, Frame, Label, BorderedLabel, WrappingLabel };

QWidget* MakeControl(Kind kind, ui::Form& form, const ui::Place& place, const char* caption, FontKind font) {
    switch (kind) {
        case Kind::Button:
            return new ui::CommandButton(&form, "control", place, caption, font, 0);
        case Kind::Option:
            return new ui::OptionButton(&form, "control", place, caption, font, 0);
        case Kind::CheckBox:
            return new ui::CheckBox(&form, "control", place, caption, font);
        case Kind::Frame:
            return new ui::Frame(&form, "control", place, caption, font);
        default:
            break;
    }
    auto* label = new ui::Label(&form, "control", place, caption, font, Qt::AlignHCenter, kind != Kind::Label);
    label->SetWordWrap(kind == Kind::WrappingLabel);  // refits
    return label;
}

// Every kind of control with the dialogs' longest captions (the editor's layout test checks its own).
TEST(Looks, CaptionsFitTheirControlWithTheFontShrunkJustEnoughRefitOnEveryChangeAndHaveNoMnemonics) {
    const std::tuple<const char*, Kind, int, int, FontKind, const char*> rows[] = {
        {"ChooserCancel", Kind::Button, 1395, 375, FontKind::Default, "Cancel"},
        {"Electric", Kind::Option, 1275, 315, FontKind::A, "Electric"},
        {"RoastAndHold", Kind::CheckBox, 1995, 255, FontKind::B, "Roast && Hold"},
        {"OvenType", Kind::Frame, 2835, 795, FontKind::B, "Oven Type"},
        {"ExistingMenuFiles", Kind::Label, 2235, 255, FontKind::Default, "Existing Menu Files:"},
        {"EnterMenuFilename", Kind::Label, 2235, 435, FontKind::Default,
         "Enter Menu Filename,\r\n8 characters, NO extension."},
        {"MenuItemNew", Kind::BorderedLabel, 4635, 795, FontKind::A, "New Menu\r\nselect oven type"},
        {"MessageQuestion", Kind::WrappingLabel, 5055, 1275, FontKind::Message,
         "\r\nYou are changing Menu Items.\r\nDo you want to save Item 100 information?"},
    };
    for (const auto& [name, kind, width, height, font, caption] : rows) {
        SCOPED_TRACE(name);
        ui::Form form("frmLooks", 12000, 8000);
        const ui::Place place{60, 60, width, height};
        QWidget* control = MakeControl(kind, form, place, caption, font);
        form.ShowModeless();
        EXPECT_TRUE(ui::CaptionFits(control));
        EXPECT_EQ(control->geometry(), ui::ToPixels(place));  // the box is kept
        const QFont nominal = ui::MakeFont(font);
        const double used = control->font().pointSizeF();
        EXPECT_LE(used, nominal.pointSizeF());
        EXPECT_EQ(QFontInfo(control->font()).family(), QFontInfo(nominal).family());
        QFont larger = control->font();  // a quarter point more would not fit
        larger.setPointSizeF(used + 0.25);
        control->setFont(larger);
        EXPECT_TRUE(used == nominal.pointSizeF() || !ui::CaptionFits(control)) << "shrunk more than needed: " << used;
    }
    ui::Form form("frmLooks", 6000, 3000);
    ui::CheckBox box(&form, "chk", {60, 60, 3000, 300}, "Salt & Pepper", FontKind::B);
    ui::CommandButton button(&form, "cmd", {60, 600, 3000, 500}, "Roast && Hold", FontKind::B, 0);
    EXPECT_EQ(box.text(), "Salt && Pepper");  // "&&" draws one "&"
    EXPECT_EQ(button.text(), "Roast && Hold");
    ui::Label label(&form, "lblMenuItem", {180, 1200, 1635, 375}, "Item", FontKind::A, Qt::AlignRight, true);
    label.SetCaption("A caption far too long for the box");
    EXPECT_LT(label.font().pointSizeF(), 13.5);
    label.SetCaption("Page\r\n");
    EXPECT_EQ(label.Caption(), "Page\r\n");
    EXPECT_EQ(label.text(), "Page\n");
    label.SetCaption("Page");
    EXPECT_EQ(label.font().pointSizeF(), 13.5);
    form.ShowModeless();
    label.resize(30, label.height());  // a window narrowing the box fits the caption again
    EXPECT_LT(label.font().pointSizeF(), 13.5);
    EXPECT_TRUE(ui::CaptionFits(&label));
}

}  // namespace
