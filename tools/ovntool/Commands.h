// ovntool as a library (ovn_cli): the one table of commands, the help texts
// made from it, and the whole program on given streams, so that tests run it in
// process. Each command takes the arguments after its own name, writes data to
// `out` and every diagnostic to `err`, and returns the exit status.
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

// The whole --help text, and one command's ("ovntool check --help").
std::string HelpText();
std::string CommandHelpText(const std::string& command);

// Prints "ovntool: <message>" and the hint to --help; returns kExitError.
int UsageError(std::ostream& err, const std::string& message);

// The program after its own name: dispatch, --help, --version, every exception
// as one line ("ovntool: out of memory"), and exit 2 when `out` fails to take
// what was written to it.
int RunTool(const Args& argv, std::ostream& out, std::ostream& err);

// main(): both standard streams buffered, RunTool on them.
int Main(int argc, char** argv);

}  // namespace ovntool
