// The program that draws the menu card (ovntool-card, which links Qt), run as
// a child process so that ovntool itself stays free of Qt.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "model/MenuModel.h"

namespace ovntool {

// Where ovntool-card is: beside this program's own executable first (the build
// tree), then where the package installs it. Empty when it is nowhere.
std::string FindCardHelper();

// Runs `helper` with `args`, the image on its standard input. Returns the PDF
// it wrote, or nullopt when it failed; its messages go to `err` either way.
std::optional<std::string> RunCardHelper(const std::string& helper, const std::vector<std::string>& args,
                                         const ovn::MenuImageBytes& image, std::ostream& err);

}  // namespace ovntool
