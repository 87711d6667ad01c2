#include "model/MenuHistory.h"

#include <utility>

namespace ovn {

MenuHistory::MenuHistory(std::size_t depth) : depth_(depth) {}

void MenuHistory::Record(const MenuSnapshot& before, const MenuSnapshot& after, bool wholeMenu) {
    if (before == after) return;
    redo_.clear();
    undo_.push_back({before, wholeMenu});
    while (undo_.size() > depth_) undo_.pop_front();
}

std::optional<MenuStep> MenuHistory::Undo(const MenuSnapshot& current) {
    return Move(undo_, redo_, current);
}

std::optional<MenuStep> MenuHistory::Redo(const MenuSnapshot& current) {
    return Move(redo_, undo_, current);
}

// The step on top of `from` is taken; `current` goes onto `to` with the same
// kind, since going back over a whole-menu change replaces the whole menu too.
std::optional<MenuStep> MenuHistory::Move(std::deque<MenuStep>& from, std::deque<MenuStep>& to,
                                          const MenuSnapshot& current) {
    if (from.empty()) return std::nullopt;
    MenuStep step = std::move(from.back());
    from.pop_back();
    to.push_back({current, step.WholeMenu});
    return step;
}

}  // namespace ovn
