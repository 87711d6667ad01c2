// The program's start-up: the zero image, the menu directory, the CRC tables,
// then the editor window shown without blocking.
#pragma once

#include <memory>
#include <string>

#include "editor/frmOpening.h"

namespace editor {

// Runs the four start-up steps. On a failure the rest is skipped, the red
// "Initialization Error #" message is shown, and the result is false.
// `window` receives the editor window (created in step 4 when missing).
bool RunEditorStartup(std::unique_ptr<frmOpening>& window);

// `ovenmenu FILE`: reads the file into the shown window as "Get Menu from File"
// does after the chooser. A relative name is taken from the current directory,
// so that the caption names the whole path. False when it could not be read.
bool OpenMenuFileArgument(frmOpening& window, const std::string& file);

}  // namespace editor
