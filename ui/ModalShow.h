// The one way a window of this layer is shown modally, in tests and at run
// time: under a ModalScript the script answers; without one, the program's own
// modal loop runs, after the hook a test program may install (the GUI tests'
// main installs one that aborts instead of waiting for a click).
#pragma once

#include <QWidget>
#include <functional>

namespace ui {

// Runs when a window is about to be shown modally with no ModalScript installed.
using UnscriptedModalShow = std::function<void(QWidget& window)>;

// Installs `hook` (an empty function removes it); the program itself installs none.
void SetUnscriptedModalShow(UnscriptedModalShow hook);

// Under a script, shows `window` application-modal, lets the script answer
// (closing the window through `unload` when the answer fails) and returns
// true; otherwise runs the unscripted hook, if any, and returns false: the
// caller runs its own modal loop.
bool ShowScripted(QWidget& window, const std::function<void()>& unload);

}  // namespace ui
