// Until the editor window exists, the program runs the start-up sequence and
// says how far it got.
#include <iostream>
#include <string>
#include <vector>

#include "menufile/Crc.h"
#include "model/MenuModel.h"
#include "model/Startup.h"

int main() {
    ovn::MenuState& state = ovn::Shared();
    const std::vector<ovn::StartupStep> steps = {
        {"1", [&state] { state.MenuImage.fill(0); }},
        {"2",
         [&state] {
             const std::string directory = ovn::DefaultMenuDirectory();
             ovn::PrepareMenuDirectory(directory);
             state.MenuDirectory = directory;
         }},
        {"3", [] { ovn::BuildCrcTables(); }},
    };
    std::string stepMarker;
    const bool started = ovn::RunStartup(
        steps, [](const std::string& text) { std::cerr << text << '\n'; }, &stepMarker);
    if (!started) {
        return 1;
    }
    std::cout << "Start-up complete through step " << stepMarker << "; menu directory " << state.MenuDirectory << '\n';
    return 0;
}
