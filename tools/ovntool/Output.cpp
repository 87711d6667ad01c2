#include "tools/ovntool/Output.h"

#include <cstdint>
#include <ostream>
#include <span>

#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/Text.h"

namespace ovntool {

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

int SaveMenu(const ovn::MenuItemTable& items, const OutputOptions& options, std::ostream& err) {
    ovn::MenuImageBytes image{};  // zero-filled: the tool's files end in a 0 byte
    ovn::EncodeMenu(items, options.ovenType, image);
    const bool saved = ovn::MenuSave(options.outPath, image, [&](const ovn::StorageFailure& failure) {
        err << "ovntool: cannot write the menu file: MenuSave : " << EscapePath(options.outPath) << " ("
            << ovn::StorageErrorCause(failure.error) << ")"
            << (failure.oldFileMayBeDamaged ? "; the old file may be damaged" : "") << "\n";
    });
    return saved ? kExitOk : kExitError;
}

bool WriteOutput(const std::string& path, std::string_view bytes, std::ostream& err) {
    ovn::StorageError error;
    bool damaged = false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (ovn::ReplaceFile(path, std::span(data, bytes.size()), error, damaged)) return true;
    err << "ovntool: cannot write " << EscapePath(path) << ": " << ovn::StorageErrorCause(error)
        << (damaged ? "; the old file may be damaged" : "") << "\n";
    return false;
}

}  // namespace ovntool
