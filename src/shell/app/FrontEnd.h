#pragma once

// The Linux face of the program: --help, --version and long options that
// stand for the Windows-style switches. Long options are translated into
// those switches, in their places, and every argument is joined into the one
// command line the start-up sequence reads.

#include "Module.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace shell {

// A command line rejected by the front end ends with this status.
inline constexpr int kUsageErrorStatus = 64;

// A text of the resource module's string table and the values that fill its
// "%s" placeholders, in order. A subject (an option or a variable) goes
// before the text with ": " when it is not empty. Id 0 is no text.
struct FrontEndText {
    FrontEndText() = default;
    FrontEndText(unsigned textId, std::vector<std::string> textValues = {})
        : id(textId)
        , values(std::move(textValues))
    {
    }

    unsigned id = 0;
    std::vector<std::string> values;
    std::string subject;

    bool empty() const { return id == 0; }
};

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
    // --message=N: only the Nth message (from 1) of the mbox file of --mail.
    std::optional<unsigned> mailMessage;
    // Why the arguments were refused, for Action::UsageError.
    FrontEndText error;
};

// What an --output path is refused for, or nothing when the printing
// library can write it: its ending names a format it writes, it is no
// folder, and its folder exists and may be written.
std::optional<FrontEndText> CheckOutputPath(const std::string& path);

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

// Fills each "%s" of text with the next value, in one pass: a value is not
// read for placeholders, and a "%s" beyond the values stays as it is.
std::string FillPlaceholders(std::string_view text, std::span<const std::string> values);

// The text in UTF-8, from `module`'s string table, or the program's own
// where that module lacks the entry.
std::string LoadFrontEndText(const FrontEndText& text, platform::ModuleHandle module = platform::ProgramModule());

// The line a refused command line ends with: the program's name, the
// reason and where to read more.
std::string UsageErrorLine(
    std::string_view programName, const FrontEndText& error, platform::ModuleHandle module = platform::ProgramModule());

// The --help text; programName is how the program was called.
std::string HelpText(std::string_view programName, platform::ModuleHandle module = platform::ProgramModule());

} // namespace shell
