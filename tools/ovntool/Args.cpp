#include "tools/ovntool/Args.h"

#include "interchange/Text.h"
#include "model/MenuModel.h"

namespace ovntool {

using namespace interchange;

namespace {

const OptionRule* FindRule(const std::vector<OptionRule>& rules, const std::string& name) {
    for (const OptionRule& rule : rules) {
        for (const std::string& spelling : rule.spellings) {
            if (spelling == name) return &rule;
        }
    }
    return nullptr;
}

}  // namespace

ParsedArgs ParseArgs(const Args& args, const std::vector<OptionRule>& rules) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const OptionRule* rule = FindRule(rules, name);
        if (rule == nullptr) {
            parsed.error = "unknown option '" + EscapePath(name) + "'";
            return parsed;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                parsed.error = "option '" + EscapePath(name) + "' needs a value";
                return parsed;
            }
            value = args[++i];
        }
        const std::string& key = rule->spellings.front();
        if (parsed.options.count(key) != 0) {
            parsed.error = "option '" + EscapePath(name) + "' given twice";
            return parsed;
        }
        parsed.options[key] = *value;
    }
    return parsed;
}

bool HelpRequested(const Args& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

std::optional<short> ParseOvenName(const std::string& text) {
    if (text == "gas") return ovn::kGasOven;
    if (text == "electric") return ovn::kElectricOven;
    return std::nullopt;
}

}  // namespace ovntool
