#include "tools/ovntool/Output.h"

#include <unistd.h>

#include <cstdint>
#include <iostream>
#include <span>
#include <string>

#include "interchange/Text.h"
#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"

namespace ovntool {

using namespace interchange;

namespace {

// After a failed write in place: the warning, and where the old file's copy is kept.
std::string DamageNote(bool damaged, const ovn::StorageError& error) {
    std::string note = damaged ? "; the old file may be damaged" : "";
    if (!error.backupPath.empty()) note += "; its copy is kept as " + EscapePath(error.backupPath);
    return note;
}

}  // namespace

std::optional<OutputOptions> GetOutputOptions(const ParsedArgs& parsed, std::ostream& err) {
    const auto oven = parsed.options.find("--oven");
    const auto out = parsed.options.find("-o");
    if (oven == parsed.options.end()) {
        UsageError(err, "--oven gas|electric is required");
        return std::nullopt;
    }
    const auto ovenType = ParseOvenName(oven->second);
    if (!ovenType) {
        UsageError(err, "--oven must be gas or electric, not '" + EscapePath(oven->second) + "'");
        return std::nullopt;
    }
    if (out == parsed.options.end() || out->second.empty()) {
        UsageError(err, "-o OUTFILE is required");
        return std::nullopt;
    }
    return OutputOptions{*ovenType, out->second};
}

namespace {

// Standard output is a terminal only when it is the process's own and the descriptor says so.
bool IsTerminal(const std::ostream& out) {
    return &out == &std::cout && ::isatty(STDOUT_FILENO) == 1;
}

// "-" written to, or a file that must not be replaced; true when the caller is done.
bool WriteElsewhere(const std::string& path, std::string_view bytes, OutputKind kind, std::ostream& out,
                    std::ostream& err, bool& ok) {
    if (path == "-") {
        ok = kind == OutputKind::Text || !IsTerminal(out);
        if (ok) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        } else {
            err << "ovntool: standard output is a terminal; binary output is not written to it "
                   "(redirect it to a file or a pipe, or give -o FILE)\n";
        }
        return true;
    }
    ok = !IsAnInputFile(path);
    if (!ok) err << "ovntool: " << EscapePath(path) << ": the output is the input file\n";
    return !ok;
}

}  // namespace

int SaveMenu(const ovn::MenuItemTable& items, const OutputOptions& options, std::ostream& out, std::ostream& err) {
    ovn::MenuImageBytes image{};  // zero-filled: the tool's files end in a 0 byte
    ovn::EncodeMenu(items, options.ovenType, image);
    const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
    if (bool ok = false; WriteElsewhere(options.outPath, bytes, OutputKind::Binary, out, err, ok)) {
        return ok ? kExitOk : kExitError;
    }
    const bool saved = ovn::MenuSave(options.outPath, image, [&](const ovn::StorageFailure& failure) {
        err << "ovntool: cannot write the menu file: MenuSave : " << EscapePath(options.outPath) << " ("
            << ovn::StorageErrorCause(failure.error) << ")" << DamageNote(failure.oldFileMayBeDamaged, failure.error)
            << "\n";
    });
    return saved ? kExitOk : kExitError;
}

bool WriteOutput(const std::string& path, std::string_view bytes, OutputKind kind, std::ostream& out,
                 std::ostream& err) {
    if (bool ok = false; WriteElsewhere(path, bytes, kind, out, err, ok)) return ok;
    ovn::StorageError error;
    bool damaged = false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (ovn::ReplaceFile(path, std::span(data, bytes.size()), error, damaged)) return true;
    err << "ovntool: cannot write " << EscapePath(path) << ": " << ovn::StorageErrorCause(error)
        << DamageNote(damaged, error) << "\n";
    return false;
}

}  // namespace ovntool
