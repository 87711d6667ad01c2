// The commands of ovntool. Each takes the arguments after its own name, writes
// data to `out` and every diagnostic to `err`, and returns the exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ovntool {

using Args = std::vector<std::string>;

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBad = 1;    // check: a bad file; diff: menus differ; import: bad CSV
inline constexpr int kExitError = 2;  // usage, a file that cannot be read or written

namespace check {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace show {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace exportcmd {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace import {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace diff {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace newmenu {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}

// The whole --help text, and one command's ("ovntool check --help").
std::string HelpText();
std::string CommandHelpText(const std::string& command);

// Prints "ovntool: <message>" and the hint to --help; returns kExitError.
int UsageError(std::ostream& err, const std::string& message);

}  // namespace ovntool
