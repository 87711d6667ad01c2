// ovntool card FILE -o OUT.pdf [--paper a4|letter]: the menu card, a one-page
// PDF. This side reads and checks FILE as show does; ovntool-card draws.
#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tools/ovntool/Args.h"
#include "tools/ovntool/CardHelper.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"
#include "tools/ovntool/Output.h"

namespace ovntool::card {

namespace {

// The locale's paper as `locale height` reports it: 279 mm is Letter, and
// anything else, or a locale that says nothing, is A4.
std::string LocalePaper() {
    const locale_t locale = ::newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return "a4";
    // glibc hands the number back in the pointer's place.
    const auto height =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(::nl_langinfo_l(_NL_PAPER_HEIGHT, locale)));
    ::freelocale(locale);
    return height == 279 ? "letter" : "a4";
}

const std::vector<OptionRule> kCardOptions = {{{"-o", "--output"}}, {{"--paper"}}};

}  // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, kCardOptions);
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.size() != 1) return UsageError(err, "card needs exactly one FILE");
    const auto outPath = parsed.options.find("-o");
    if (outPath == parsed.options.end() || outPath->second.empty()) return UsageError(err, "-o OUT.pdf is required");
    const auto paperOption = parsed.options.find("--paper");
    const std::string paper = paperOption == parsed.options.end() ? LocalePaper() : paperOption->second;
    if (paper != "a4" && paper != "letter") return UsageError(err, "--paper must be a4 or letter");

    const auto menu = LoadMenuForViewing(parsed.positional[0], err);  // "-": standard input
    if (!menu) return kExitError;
    const std::string helper = FindCardHelper();
    if (helper.empty()) {
        err << "ovntool: the card is drawn by ovntool-card, which is neither beside ovntool nor in "
               "/usr/libexec/ovenmenu\n";
        return kExitError;
    }
    const std::string& file = parsed.positional[0];
    const std::string title = file == "-" ? "standard input" : std::filesystem::path(file).filename().string();
    const auto pdf = RunCardHelper(helper, {"--paper", paper, "--title", title}, menu->image, err);
    if (!pdf) return kExitError;
    return WriteOutput(outPath->second, *pdf, OutputKind::Binary, out, err) ? kExitOk : kExitError;
}

}  // namespace ovntool::card
