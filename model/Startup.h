// The start-up sequence: numbered steps run in order, stopping at the first failure.
// The steps themselves are handed in, so that this library needs nothing above it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ovn {

// $HOME/OVENS; where HOME is unset or empty, the home directory from the password database.
std::string DefaultMenuDirectory();

// Creates `directory` (one level) when no entry of that name exists; an
// existing entry of any kind (a plain file too) counts as present.
// Throws std::system_error when it cannot be created.
void PrepareMenuDirectory(const std::string& directory);

struct StartupStep {
    std::string marker;         // "1" to "4"
    std::function<void()> run;  // throws std::system_error (or std::exception) on failure
};

// "\r\n" + "Initialization Error #" + description.
std::string InitializationErrorText(const std::string& description);

// Runs the steps in order. `stepMarker`, when given, holds the marker of the
// step that ran last. On the first failure the rest is skipped, `report` gets
// InitializationErrorText(the failure's description), and the result is false.
bool RunStartup(const std::vector<StartupStep>& steps, const std::function<void(const std::string&)>& report,
                std::string* stepMarker = nullptr);

}  // namespace ovn
