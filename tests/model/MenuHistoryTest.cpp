#include <gtest/gtest.h>

#include <string>

#include "model/MenuHistory.h"

namespace ovn {
namespace {

MenuSnapshot MenuNamed(const std::string& name) {
    MenuSnapshot menu;
    menu.Items[0].Name = name;
    menu.OvenType = kGasOven;
    return menu;
}

std::string NameOf(const std::optional<MenuStep>& step) {
    return step ? step->Menu.Items[0].Name : "(nothing)";
}

TEST(MenuHistory, UndoAndRedoWalkTheStepsAndANewChangeDropsTheRedoSteps) {
    MenuHistory history;
    history.Record(MenuNamed("A"), MenuNamed("B"), false);
    history.Record(MenuNamed("B"), MenuNamed("C"), true);
    history.Record(MenuNamed("C"), MenuNamed("C"), false);  // changed nothing: no step

    const std::optional<MenuStep> undone = history.Undo(MenuNamed("C"));
    EXPECT_EQ(NameOf(undone), "B");
    EXPECT_TRUE(undone->WholeMenu);
    EXPECT_EQ(NameOf(history.Undo(MenuNamed("B"))), "A");
    EXPECT_EQ(NameOf(history.Undo(MenuNamed("A"))), "(nothing)");

    const std::optional<MenuStep> redone = history.Redo(MenuNamed("A"));
    EXPECT_EQ(NameOf(redone), "B");
    EXPECT_FALSE(redone->WholeMenu);
    history.Record(MenuNamed("B"), MenuNamed("D"), false);
    EXPECT_EQ(NameOf(history.Redo(MenuNamed("D"))), "(nothing)");
    EXPECT_EQ(NameOf(history.Undo(MenuNamed("D"))), "B");
}

TEST(MenuHistory, KeepsItsDepthAndForgetsTheOldestStep) {
    MenuHistory history;
    for (int step = 0; step <= 100; ++step)
        history.Record(MenuNamed(std::to_string(step)), MenuNamed(std::to_string(step + 1)), false);
    EXPECT_EQ(history.UndoCount(), 100U);
    std::string last;
    while (const std::optional<MenuStep> step = history.Undo(MenuNamed("now"))) last = NameOf(step);
    EXPECT_EQ(last, "1");
    EXPECT_EQ(history.RedoCount(), 100U);
}

}  // namespace
}  // namespace ovn
