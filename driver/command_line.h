// The command line every command reads the same way: information options,
// options with and without values, and operands.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravonix {

/// The project's version, such as "1.0.0".
std::string_view Version();

/// What an information option asks for.
enum class InfoOption { kNone, kHelp, kVersion };

/// The information option the arguments hold: a single argument "--help",
/// "-h" or "/?" asks for help, a single "--version" for the version (the GNU
/// conventions, and the Windows habit). Anything else is kNone.
InfoOption FindInfoOption(int argc, const char* const* argv);

/// An option of a command: "-x", "--name" or both, with a value or without.
/// A value stands in the same argument ("-xVALUE", "--name=VALUE") or is the
/// next one ("-x VALUE", "--name VALUE").
struct CommandOption {
    char short_name = 0;          // 'j' for "-j"; 0 for none
    std::string_view long_name;   // "jobs" for "--jobs"; empty for none
    std::string_view value_name;  // what the value is, for messages ("a number"); empty
                                  // for an option without a value
    /// Takes the option with its value (empty for an option without one);
    /// false with the reason in *error when the value is wrong.
    std::function<bool(std::string_view value, std::string* error)> take;
};

/// Reads the arguments argv[1] to argv[argc - 1]: hands each option to its
/// take and appends every other argument to *operands, in order. "--" ends
/// the options; "-" alone is an operand. False with a message that names the
/// argument in *error (for example "unknown option '--frob'" or "-j needs a
/// number") at the first unknown option, missing value or value refused.
[[nodiscard]] bool ParseCommandLine(int argc, const char* const* argv,
                                    std::span<const CommandOption> options,
                                    std::vector<std::string>* operands, std::string* error);

}  // namespace dravonix
