// The undo and redo history of the editor's menu changes. A step keeps the
// menu as it stood on one side of a change: the 100 slots as their stored
// texts (never re-decoded from an image, so an unticked item's hold
// temperature and a cook temperature typed "0350" come back as they were),
// the oven type, the file's byte 2408 and the file name the caption shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "model/MenuModel.h"

namespace ovn {

struct MenuSnapshot {
    MenuItemTable Items{};
    std::int16_t OvenType = kNoOvenType;
    std::uint8_t TrailingByte = 0;  // image byte 2408
    std::string FileName;           // "" before any file was named: the caption says "New Menu"

    bool operator==(const MenuSnapshot&) const = default;
};

// One side of a change, and whether the change replaced the whole menu
// ("New Menu", a file read), after which the editor starts again at slot 0.
struct MenuStep {
    MenuSnapshot Menu;
    bool WholeMenu = false;
};

class MenuHistory {
public:
    static constexpr std::size_t kDefaultDepth = 100;

    explicit MenuHistory(std::size_t depth = kDefaultDepth);

    // Records a change from `before` to `after`. A change that left the menu as
    // it was is no step. A new step drops the steps that could have been redone;
    // beyond the depth the oldest step is forgotten.
    void Record(const MenuSnapshot& before, const MenuSnapshot& after, bool wholeMenu);

    // The menu to go back to, or nothing when there is no step. `current` is
    // kept so that redo returns to it.
    std::optional<MenuStep> Undo(const MenuSnapshot& current);
    // The menu the last undo left, or nothing; `current` is kept for undo.
    std::optional<MenuStep> Redo(const MenuSnapshot& current);

private:
    static std::optional<MenuStep> Move(std::deque<MenuStep>& from, std::deque<MenuStep>& to,
                                        const MenuSnapshot& current);

    std::size_t depth_;
    std::deque<MenuStep> undo_;
    std::deque<MenuStep> redo_;
};

}  // namespace ovn
