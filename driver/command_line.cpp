#include "driver/command_line.h"

namespace dravonix {

namespace {

/// The option "-x..." or "--name..." stands for, and where its value starts
/// when it holds one (npos when not); null when none of options is meant.
const CommandOption* FindOption(std::string_view argument, std::span<const CommandOption> options,
                                std::size_t* value_at) {
    *value_at = std::string_view::npos;
    if (argument.starts_with("--")) {
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(2, equals - 2);
        for (const CommandOption& option : options) {
            if (option.long_name.empty() || option.long_name != name) continue;
            if (equals != std::string_view::npos) *value_at = equals + 1;
            return &option;
        }
        return nullptr;
    }
    for (const CommandOption& option : options) {
        if (option.short_name == 0 || argument[1] != option.short_name) continue;
        if (argument.size() > 2) {
            if (option.value_name.empty()) return nullptr;  // "-qx" is no option of ours
            *value_at = 2;
        }
        return &option;
    }
    return nullptr;
}

/// What argument asks for as an information option.
InfoOption InfoOptionOf(std::string_view argument) {
    if (argument == "--help" || argument == "-h" || argument == "/?") return InfoOption::kHelp;
    if (argument == "--version") return InfoOption::kVersion;
    return InfoOption::kNone;
}

}  // namespace

std::string_view Version() { return DRAVONIX_VERSION; }

InfoOption FindInfoOption(int argc, const char* const* argv) {
    return argc == 2 ? InfoOptionOf(argv[1]) : InfoOption::kNone;
}

bool ParseCommandLine(int argc, const char* const* argv, std::span<const CommandOption> options,
                      std::vector<std::string>* operands, std::string* error) {
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options_done || argument.size() < 2 || argument[0] != '-') {
            operands->emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            options_done = true;
            continue;
        }
        std::size_t value_at = 0;
        const CommandOption* option = FindOption(argument, options, &value_at);
        if (option == nullptr) {
            *error = InfoOptionOf(argument) != InfoOption::kNone
                         ? "option '" + std::string(argument) + "' must be the only argument"
                         : "unknown option '" + std::string(argument) + "'";
            return false;
        }
        const std::string_view name = argument.substr(0, argument.find('='));
        std::string_view value;
        if (option->value_name.empty()) {
            if (value_at != std::string_view::npos) {
                *error = "option '" + std::string(name) + "' takes no value";
                return false;
            }
        } else if (value_at != std::string_view::npos) {
            value = argument.substr(value_at);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            *error = std::string(name) + " needs " + std::string(option->value_name);
            return false;
        }
        if (!option->take(value, error)) return false;
    }
    return true;
}

}  // namespace dravonix
