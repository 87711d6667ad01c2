// The message dialog driven through real windows offscreen: button sets and
// their places, answers by mouse and keyboard, placement on the screen or on a
// window's centre (kept inside the screen), the text area, and the keys and
// close requests that must press nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "dialogs/Dialogs.h"
#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

using testsupport::Child;

ui::Form& AsForm(QWidget& window) {
    auto* form = qobject_cast<ui::Form*>(&window);
    EXPECT_NE(form, nullptr);
    return *form;
}

QPushButton* Button(QWidget& window, int index) {
    return Child<QPushButton>(window, QString("cmdBut(%1)").arg(index));
}

std::set<int> VisibleButtons(QWidget& window) {
    std::set<int> visible;
    for (int index = 0; index < 4; ++index) {
        if (Button(window, index)->isVisible()) visible.insert(index);
    }
    return visible;
}

QRect AvailableTwips() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return {area.left() * ui::kTwipsPerPixel, area.top() * ui::kTwipsPerPixel, area.width() * ui::kTwipsPerPixel,
            area.height() * ui::kTwipsPerPixel};
}

// Where the window must stand: the requested corner, kept inside the available area.
QPoint ExpectedTopLeft(int requestedLeft, int requestedTop, const ui::Form& form) {
    const QRect area = AvailableTwips();
    const int left = std::clamp(requestedLeft, area.left(), area.left() + area.width() - form.WidthTwips());
    const int top = std::clamp(requestedTop, area.top(), area.top() + area.height() - form.HeightTwips());
    return {left, top};
}

void ExpectPlacedAt(const ui::Form& form, QPoint expected) {
    // Positions travel through whole pixels: one pixel (15 twips) of slack.
    EXPECT_NEAR(form.LeftTwips(), expected.x(), ui::kTwipsPerPixel);
    EXPECT_NEAR(form.TopTwips(), expected.y(), ui::kTwipsPerPixel);
}

QColor BackgroundOf(QWidget& label) {
    // A corner inside the border, away from the text.
    const QImage image = label.grab().toImage();
    return image.pixelColor(4, image.height() - 5);
}

class MessageDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ovn::ResetMenuState();
        script_ = testsupport::MakeScript();
        // The window that asks, as in the program: messages are dialogs over it.
        owner_ = std::make_unique<QWidget>();
        owner_->show();
    }
    void TearDown() override {
        script_.reset();
        owner_.reset();
    }

    std::unique_ptr<ui::ModalScript> script_;
    std::unique_ptr<QWidget> owner_;
};

struct TypeRow {
    const char* name;
    std::int16_t type;
    std::uint32_t color;
    std::vector<int> leftToRight;  // the buttons shown, from left to right
    std::uint32_t shownColor;
    bool onScreenCentre;
};
void PrintTo(const TypeRow& row, std::ostream* out) {
    *out << row.name;
}

class MessageTypes : public MessageDialog, public ::testing::WithParamInterface<TypeRow> {};

// Each type, each of its buttons: the set shown and where, the colour, the
// window's place, the focus, the answer.
TEST_P(MessageTypes, ShowsItsButtonsColourAndPlaceAndAnswersEachButton) {
    const TypeRow& row = GetParam();
    for (int answer : row.leftToRight) {
        SCOPED_TRACE(answer);
        ovn::Shared().FormCenterX = 5000;
        ovn::Shared().FormCenterY = 4000;
        ovn::Shared().MessageAnswer = 99;
        script_->Expect("frmMEMessage100", [&](QWidget& window) {
            ui::Form& form = AsForm(window);
            EXPECT_EQ(form.Caption(), "Information");
            QWidget* label = Child(window, "lblInformation");
            EXPECT_EQ(BackgroundOf(*label), ui::ColorFromBgr(row.shownColor));
            EXPECT_EQ(VisibleButtons(window), std::set<int>(row.leftToRight.begin(), row.leftToRight.end()));
            // One row below the text, flush with its edges; 17 leaves Cancel's gap.
            std::vector<QRect> boxes;
            for (int index : row.leftToRight) boxes.push_back(Button(window, index)->geometry());
            EXPECT_EQ(boxes.front().left(), label->geometry().left());
            EXPECT_EQ(boxes.back().right(), label->geometry().right());
            for (std::size_t i = 1; i < boxes.size(); ++i) {
                EXPECT_GT(boxes[i].left(), boxes[i - 1].right() + (boxes.size() == 2 ? boxes[0].width() : 0));
                EXPECT_EQ(boxes[i].top(), boxes[0].top());
            }
            EXPECT_GT(boxes[0].top(), label->geometry().bottom());
            for (int index : row.leftToRight) EXPECT_TRUE(ui::CaptionFits(Button(window, index))) << index;
            const QPoint requested =
                row.onScreenCentre
                    ? QPoint(static_cast<int>(ui::Form::ScreenWidthTwips() / 2.0 - form.WidthTwips() / 2.0),
                             static_cast<int>(ui::Form::ScreenHeightTwips() / 2.0 - form.HeightTwips() / 2.0))
                    : QPoint(5000 - form.WidthTwips() / 2, 4000 - form.HeightTwips() / 2);
            ExpectPlacedAt(form, ExpectedTopLeft(requested.x(), requested.y(), form));
            // The focus starts on the first visible button in tab order (OK, else YES).
            EXPECT_EQ(window.focusWidget(), Button(window, row.leftToRight.front()));
            testsupport::ClickButton(window, QString("cmdBut(%1)").arg(answer));
        });
        EXPECT_EQ(dialogs::Ask(owner_.get(), row.type, row.color, "\r\nA question"), answer);
        EXPECT_EQ(ovn::Shared().MessageAnswer, answer);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, MessageTypes,
    ::testing::Values(TypeRow{"Type0OkOnScreen", 0, dialogs::kYellow, {0}, dialogs::kYellow, true},
                      TypeRow{"Type1YesNoOnScreen", 1, dialogs::kYellow, {1, 2}, dialogs::kYellow, true},
                      TypeRow{"Type2YesCancelNoOnScreen", 2, dialogs::kRed, {1, 3, 2}, dialogs::kRed, true},
                      TypeRow{"Type16OkOnCentre", 16, dialogs::kRed, {0}, dialogs::kRed, false},
                      TypeRow{"Type17YesNoOnCentre", 17, dialogs::kYellow, {1, 2}, dialogs::kYellow, false},
                      TypeRow{"Type18YesCancelNoOnCentre", 18, dialogs::kYellow, {1, 3, 2}, dialogs::kYellow, false},
                      TypeRow{"Type5RedOkOnScreen", 5, dialogs::kYellow, {0}, dialogs::kRed, true},
                      TypeRow{"Type15RedOkOnScreen", 15, dialogs::kYellow, {0}, dialogs::kRed, true},
                      TypeRow{"NegativeRedOkOnScreen", -3, dialogs::kYellow, {0}, dialogs::kRed, true},
                      TypeRow{"Type19RedOkOnCentre", 19, dialogs::kYellow, {0}, dialogs::kRed, false},
                      TypeRow{"Type20RedOkOnCentre", 20, dialogs::kYellow, {0}, dialogs::kRed, false}),
    [](const ::testing::TestParamInfo<TypeRow>& info) { return info.param.name; });

// A window's centre near an edge of the screen would put the message partly
// off it: the dialog is kept inside the available area.
TEST_F(MessageDialog, CentreNearAScreenEdgeKeepsTheDialogInside) {
    const QRect area = AvailableTwips();
    struct Row {
        const char* name;
        QPoint centre;
    };
    const Row rows[] = {
        {"TopLeftCorner", area.topLeft()},
        {"BottomRightCorner", area.bottomRight()},
        {"FarOffLeft", {-20000, area.center().y()}},
        {"FarOffBelow", {area.center().x(), area.bottom() + 50000}},
        {"Inside", area.center()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ovn::Shared().FormCenterX = row.centre.x();
        ovn::Shared().FormCenterY = row.centre.y();
        script_->Expect("frmMEMessage100", [&](QWidget& window) {
            ui::Form& form = AsForm(window);
            const QPoint expected =
                ExpectedTopLeft(row.centre.x() - form.WidthTwips() / 2, row.centre.y() - form.HeightTwips() / 2, form);
            ExpectPlacedAt(form, expected);
            EXPECT_TRUE(
                area.contains(QRect(form.LeftTwips(), form.TopTwips(), form.WidthTwips() - 1, form.HeightTwips() - 1)));
            testsupport::ClickButton(window, "cmdBut(0)");
        });
        dialogs::Ask(owner_.get(), 16, dialogs::kRed, "\r\nInvalid Filename");
    }
}

// "\r\n" + line: the first line stays empty and the line stands centred below it.
TEST_F(MessageDialog, TextKeepsAnEmptyFirstLineAndIsCentred) {
    script_->Expect("frmMEMessage100", [](QWidget& window) {
        auto* label = Child<ui::Label>(window, "lblInformation");
        EXPECT_EQ(label->Caption(), "\r\nInvalid Entry(s).");
        const QImage image = label->grab().toImage();
        const QColor background = image.pixelColor(4, image.height() - 5);
        const int lineHeight = QFontMetrics(label->font()).height();
        int top = image.height();
        int left = image.width();
        int right = -1;
        for (int y = 3; y < image.height() - 3; ++y) {
            for (int x = 3; x < image.width() - 3; ++x) {
                if (image.pixelColor(x, y) == background) continue;
                top = std::min(top, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        ASSERT_GE(right, 0) << "no text drawn";
        EXPECT_GE(top, lineHeight * 3 / 4) << "the first line must stay empty";
        EXPECT_LT(top, lineHeight * 2);
        EXPECT_NEAR(left, image.width() - 1 - right, 3) << "the line is centred";
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    dialogs::Ask(owner_.get(), 0, dialogs::kYellow, "\r\nInvalid Entry(s).");
}

// Neither Enter nor Escape presses a button, nor does the close box close the
// window; the answer of the last showing stays until a button is pressed.
TEST_F(MessageDialog, EnterEscapeAndCloseRequestsPressNothing) {
    ovn::Shared().MessageAnswer = 2;  // left by an earlier question
    for (std::int16_t type : {0, 1, 2, 17, 18}) {
        SCOPED_TRACE(type);
        script_->Expect("frmMEMessage100", [](QWidget& window) {
            EXPECT_EQ(ovn::Shared().MessageAnswer, 2) << "the dialog never clears the answer";
            QWidget* focused = window.focusWidget();
            ASSERT_NE(focused, nullptr);
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                QTest::keyClick(focused, key);
                QTest::keyClick(&window, key);
            }
            window.close();
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(ovn::Shared().MessageAnswer, 2);
            // NO is the second visible button in tab order where YES shows; OK stands alone.
            const bool okOnly = Button(window, 0)->isVisible();
            if (!okOnly) QTest::keyClick(focused, Qt::Key_Tab);
            QTest::keyClick(window.focusWidget(), Qt::Key_Space);  // Space presses the focused button
        });
        const std::int16_t answer = dialogs::Ask(owner_.get(), type, dialogs::kYellow, "\r\nAre you sure ?");
        EXPECT_EQ(answer, type == 0 ? 0 : 2);
        ovn::Shared().MessageAnswer = 2;
    }
}

// An OK-only message after a question: the caller reads 0, not the old YES.
TEST_F(MessageDialog, AnswerPersistsUntilTheNextPress) {
    testsupport::ExpectMessage(*script_, dialogs::kAnswerYes);
    EXPECT_EQ(dialogs::Ask(owner_.get(), 17, dialogs::kYellow, "\r\nStore it ?"), dialogs::kAnswerYes);
    EXPECT_EQ(ovn::Shared().MessageAnswer, dialogs::kAnswerYes);
    testsupport::ExpectMessage(*script_, dialogs::kAnswerOk);
    dialogs::Ask(owner_.get(), 20, dialogs::kYellow, "\r\nDone.");
    EXPECT_EQ(ovn::Shared().MessageAnswer, dialogs::kAnswerOk);
}

// At start-up there is no window yet: the message stands alone, centred on the screen.
TEST_F(MessageDialog, StartupFailureShowsRedOkOnTheScreenCentre) {
    testsupport::SeenMessage seen;
    testsupport::ExpectMessage(*script_, dialogs::kAnswerOk, &seen);
    script_->Expect("frmMEMessage100", [](QWidget& window) {
        ui::Form& form = AsForm(window);
        EXPECT_EQ(VisibleButtons(window), (std::set<int>{0}));
        EXPECT_EQ(BackgroundOf(*Child(window, "lblInformation")), ui::ColorFromBgr(dialogs::kRed));
        ExpectPlacedAt(form, {ui::Form::ScreenWidthTwips() / 2 - form.WidthTwips() / 2,
                              ui::Form::ScreenHeightTwips() / 2 - form.HeightTwips() / 2});
        testsupport::ClickButton(window, "cmdBut(0)");
    });
    dialogs::ReportStartupFailure("\r\nInitialization Error #2");
    dialogs::ReportStartupFailure("\r\nInitialization Error #3");
    EXPECT_EQ(seen.type, 0);
    EXPECT_EQ(seen.color, dialogs::kRed);
    EXPECT_EQ(seen.text, "\r\nInitialization Error #2");
}

// The storage routines report through the platform's ERROR box.
TEST_F(MessageDialog, StorageFailureShowsTheErrorBox) {
    const std::string path = "/nonexistent-ovn-dir/sub/MENU0001.ovn";
    std::string text;
    testsupport::ExpectErrorBox(*script_, &text);
    ovn::MenuImageBytes image{};
    EXPECT_FALSE(ovn::MenuSave(path, image, dialogs::StorageErrorBox(nullptr)));
    EXPECT_EQ(text, "MenuSave : " + path);

    testsupport::ExpectErrorBox(*script_, &text);
    EXPECT_FALSE(ovn::MenuGet(path, image, dialogs::StorageErrorBox(nullptr)));
    EXPECT_EQ(text, "MenuGet : " + path);
}

// A reporter kept after its window is gone still shows the box, without an owner.
TEST_F(MessageDialog, ErrorBoxReporterOutlivesItsOwner) {
    auto owner = std::make_unique<QWidget>();
    const ovn::StorageErrorReporter report = dialogs::StorageErrorBox(owner.get());
    owner.reset();
    std::string text;
    testsupport::ExpectErrorBox(*script_, &text);
    report("MenuGet : /x/y.ovn");
    EXPECT_EQ(text, "MenuGet : /x/y.ovn");
}

}  // namespace
