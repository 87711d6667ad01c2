#include "editor/EditorStartup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "dialogs/Dialogs.h"
#include "menufile/Crc.h"
#include "model/MenuModel.h"
#include "model/Startup.h"

namespace editor {

bool RunEditorStartup(std::unique_ptr<frmOpening>& window) {
    auto& state = ovn::Shared();
    const std::vector<ovn::StartupStep> steps = {
        {"1", [&state] { state.MenuImage.fill(0); }},
        {"2",
         [&state] {
             const std::string directory = ovn::DefaultMenuDirectory();
             ovn::PrepareMenuDirectory(directory);
             state.MenuDirectory = directory;
         }},
        {"3", [] { ovn::BuildCrcTables(); }},
        {"4",
         [&window] {
             if (!window) window = std::make_unique<frmOpening>();
             window->ShowModeless();
         }},
    };
    return ovn::RunStartup(steps, [](const std::string& text) { dialogs::ReportStartupFailure(text); });
}

bool OpenMenuFileArgument(frmOpening& window, const std::string& file) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(file, error);
    return window.LoadMenuFile(error ? file : path.lexically_normal().string());
}

}  // namespace editor
