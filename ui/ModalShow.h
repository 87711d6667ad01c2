// The one way a window of this layer is shown modally in tests and at run
// time: under a ModalScript the script answers; on the offscreen platform
// without a script the process aborts instead of waiting for a click.
#pragma once

#include <QWidget>
#include <functional>

namespace ui {

// Under a script, shows `window` application-modal, lets the script answer
// (closing the window through `unload` when the answer fails) and returns
// true; on the offscreen platform without a script, reports to standard error
// and aborts; otherwise returns false and the caller runs its own modal loop.
bool ShowScriptedOrAbort(QWidget& window, const std::function<void()>& unload);

}  // namespace ui
