// ovntool: checks, shows, exports, imports, compares and creates menu files.
// main only dispatches to the command named first.
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "menufile/Crc.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/Text.h"

namespace ovntool {

namespace {

int Dispatch(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    if (argv.empty()) return UsageError(err, "no command given");
    const std::string& command = argv[0];
    const Args args(argv.begin() + 1, argv.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << HelpText();
        return kExitOk;
    }
    if (command == "--version") {
        out << "ovntool " << OVNTOOL_VERSION << "\n";
        return kExitOk;
    }
    struct Entry {
        const char* name;
        int (*run)(const Args&, std::ostream&, std::ostream&);
    };
    static const Entry kCommands[] = {
        {"check", check::Run},   {"show", show::Run}, {"export", exportcmd::Run},
        {"import", import::Run}, {"diff", diff::Run}, {"new", newmenu::Run},
    };
    for (const Entry& entry : kCommands) {
        if (command != entry.name) continue;
        if (HelpRequested(args)) {
            out << CommandHelpText(command);
            return kExitOk;
        }
        return entry.run(args, out, err);
    }
    return UsageError(err, "unknown command '" + EscapePath(command) + "'");
}

}  // namespace

}  // namespace ovntool

int main(int argc, char** argv) {
    // Both streams buffered: a long list of problems costs one write, not one per piece.
    std::ios::sync_with_stdio(false);
    std::cerr.unsetf(std::ios::unitbuf);
    int status = ovntool::kExitError;
    try {
        ovn::BuildCrcTables();
        const std::vector<std::string> args(argv + 1, argv + argc);
        status = ovntool::Dispatch(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "ovntool: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "ovntool: " << ovntool::EscapePath(e.what()) << "\n";
    } catch (...) {
        std::cerr << "ovntool: unexpected failure\n";
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "ovntool: cannot write to standard output\n";
        status = ovntool::kExitError;
    }
    std::cerr.flush();
    return status;
}
