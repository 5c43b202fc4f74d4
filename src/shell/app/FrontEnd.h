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
    // --output=-: the pages go to standard output, as PDF or (--format=ps)
    // PostScript; plotwiseOutput is then empty until the program picks a
    // file to print through.
    bool outputToStandardOutput = false;
    std::string standardOutputFormat = "pdf";
    // --file=-: the document comes from standard input; the command line
    // then names the placeholder kStandardInputName, which the program
    // replaces with a file holding what it read.
    bool fileFromStandardInput = false;
    // --quiet: no line on a terminal says where the pages went.
    bool quiet = false;
    // --paper: the paper of this run, as the printing library names it.
    std::optional<std::string> paper;
    // The message file of --mail, as given; the command line then holds /E,
    // since the e-mail print ends with the statuses of a print-only start
    // under /E.
    std::optional<std::string> mailFile;
    // --mail=-: the message comes from standard input; mailFile then names
    // the file the program saves it in.
    bool mailFromStandardInput = false;
    // Why the arguments were refused, for Action::UsageError.
    std::string error;
};

// What an --output path is refused for, or nothing when the printing
// library can write it: its ending names a format it writes, it is no
// folder, and its folder exists and may be written.
std::optional<std::string> CheckOutputPath(const std::string& path);

// True for a paper the printing library knows: a3, a4, a5, legal, letter,
// or a size WIDTHxHEIGHT with an optional unit (mm, cm, in, pt) after it.
bool IsPaperName(std::string_view name);

// Stands for standard input in the command line until the program has read
// it into a file.
inline constexpr std::string_view kStandardInputName = "<standard input>";

// Translates the arguments (without the program name).
FrontEndRequest TranslateArguments(std::span<const std::string> arguments);

// Joins arguments with single spaces, quoting one that holds a space.
std::string JoinCommandLine(std::span<const std::string> arguments);

// The --help text; programName is how the program was called.
std::string HelpText(std::string_view programName);

} // namespace shell
