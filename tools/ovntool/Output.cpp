#include "tools/ovntool/Output.h"

#include <filesystem>
#include <ostream>

#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "tools/ovntool/Commands.h"

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
        UsageError(err, "--oven must be gas or electric, not '" + oven->second + "'");
        return std::nullopt;
    }
    if (out == parsed.options.end() || out->second.empty()) {
        UsageError(err, "-o OUTFILE is required");
        return std::nullopt;
    }
    return OutputOptions{*ovenType, out->second};
}

namespace {

// The save reports only the path; for the usual faults this names the cause.
std::string LikelyCause(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    const fs::file_status status = fs::status(target, ec);
    if (fs::is_directory(status)) return path + " is a directory";
    if (fs::exists(status) && !fs::is_regular_file(status)) return path + " is not a regular file";
    const fs::path parent = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::file_status parentStatus = fs::status(parent, ec);
    if (!fs::exists(parentStatus)) return "there is no directory " + parent.string();
    if (!fs::is_directory(parentStatus)) return parent.string() + " is not a directory";
    return "";
}

std::string OneLine(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "; ");
    return text;
}

}  // namespace

int SaveMenu(const ovn::MenuItemTable& items, const OutputOptions& options, std::ostream& err) {
    ovn::MenuImageBytes image{};  // zero-filled: the tool's files end in a 0 byte
    ovn::EncodeMenu(items, options.ovenType, image);
    const bool saved = ovn::MenuSave(options.outPath, image, [&](const std::string& message) {
        const std::string cause = LikelyCause(options.outPath);
        err << "ovntool: cannot write the menu file: " << OneLine(message) << (cause.empty() ? "" : " (") << cause
            << (cause.empty() ? "" : ")") << "\n";
    });
    return saved ? kExitOk : kExitError;
}

}  // namespace ovntool
