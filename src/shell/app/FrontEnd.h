#pragma once

// The Linux face of the program: --help, --version and long options that
// stand for the Windows-style switches. Long options are translated into
// those switches, in their places, and every argument is joined into the one
// command line the start-up sequence reads.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace shell {

// A command line rejected by the front end ends with this status.
inline constexpr int kUsageErrorStatus = 64;

struct FrontEndRequest {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    // The Windows-style command line (UTF-8), for Action::Run.
    std::string commandLine;
    // The printing library's destination for this run, from --output or
    // --printer.
    std::optional<std::string> plotwiseOutput;
    // The message file of --mail, as given; the command line then holds /E,
    // since the e-mail print ends with the statuses of a print-only start
    // under /E.
    std::optional<std::string> mailFile;
    // Why the arguments were refused, for Action::UsageError.
    std::string error;
};

// Translates the arguments (without the program name).
FrontEndRequest TranslateArguments(std::span<const std::string> arguments);

// Joins arguments with single spaces, quoting one that holds a space.
std::string JoinCommandLine(std::span<const std::string> arguments);

// The --help text; programName is how the program was called.
std::string HelpText(std::string_view programName);

} // namespace shell
