// A small option parser for the command lines of ovntool: positional
// arguments plus options that take one value ("--oven gas", "-o FILE").
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/ovntool/Commands.h"

namespace ovntool {

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // by the option's first spelling
    std::string error;                           // empty when the line was understood
};

struct OptionRule {
    std::vector<std::string> spellings;  // e.g. {"-o", "--output"}
};

// Options may come before or after the positional arguments; "--name=value" is
// accepted for long options. "--" ends the options. Every command parses its
// line here, so these rules hold for all of them.
ParsedArgs ParseArgs(const Args& args, const std::vector<OptionRule>& rules);

// True when "--help" or "-h" stands among the options (before any "--").
bool HelpRequested(const Args& args);

// "gas" -> kGasOven, "electric" -> kElectricOven.
std::optional<short> ParseOvenName(const std::string& text);

}  // namespace ovntool
