#include "FrontEnd.h"

#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace shell {
namespace {

// A long option that stands for a fixed switch.
struct FlagOption {
    std::string_view name;
    std::string_view switchText;
};

constexpr std::array kFlagOptions = {
    FlagOption { "--quick", "/Q" },
    FlagOption { "--exit-codes", "/E" },
    FlagOption { "--plain-text", "/P" },
    FlagOption { "--documents", "/W" },
    FlagOption { "--email", "/I" },
    FlagOption { "--workbooks", "/X" },
    FlagOption { "--no-sheet-dialog", "/XQ" },
};

// A long option whose value is one of a few words, each a switch.
struct ChoiceOption {
    std::string_view name;
    std::array<std::pair<std::string_view, std::string_view>, 4> choices;
};

constexpr std::array kChoiceOptions = {
    ChoiceOption { "--gridlines", { { { "on", "/XG1" }, { "off", "/XG0" } } } },
    ChoiceOption { "--headings", { { { "on", "/XH1" }, { "off", "/XH0" } } } },
    ChoiceOption { "--background-colors", { { { "on", "/XB1" }, { "off", "/XB0" } } } },
    ChoiceOption { "--center", { { { "on", "/XC1" }, { "off", "/XC0" } } } },
    ChoiceOption {
        "--range", { { { "full", "/XA0" }, { "selected", "/XA1" }, { "populated", "/XA2" }, { "custom", "/XA3" } } } },
};

bool IsAllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// A file name on the command line cannot hold '/', which starts a switch,
// nor a double quote, which ends a name; a backslash stands for the
// directory separator instead.
std::optional<std::string> FileNameArgument(std::string_view path)
{
    if (path.empty() || path.find('"') != std::string_view::npos)
        return std::nullopt;
    std::string name(path);
    for (char& c : name) {
        if (c == '/')
            c = '\\';
    }
    return "\"" + name + "\"";
}

std::string QuoteArgument(const std::string& argument)
{
    return argument.find(' ') != std::string::npos ? '"' + argument + '"' : argument;
}

class Translator {
public:
    explicit Translator(std::span<const std::string> arguments)
        : arguments_(arguments)
    {
    }

    FrontEndRequest Run()
    {
        // A file as the only argument besides long options, as a file
        // manager or a user at a shell passes it, prints as --print would;
        // with a switch beside it, it is read as the switches' command line.
        std::optional<std::size_t> bareFile;
        for (std::size_t i = 0; i < arguments_.size(); ++i) {
            const std::string& argument = arguments_[i];
            if (argument.starts_with("--")) {
                if (TakesNextArgument(argument))
                    ++i;
                continue;
            }
            std::error_code error;
            if (bareFile || argument.empty() || argument[0] == '-'
                || !std::filesystem::is_regular_file(argument, error)) {
                bareFile.reset();
                break;
            }
            bareFile = i;
        }
        for (index_ = 0; index_ < arguments_.size() && request_.action == FrontEndRequest::Action::Run; ++index_) {
            if (bareFile == index_)
                TranslatePrint("--print=" + arguments_[index_]);
            else
                TranslateOne(arguments_[index_]);
        }
        return Finish();
    }

private:
    FrontEndRequest Finish()
    {
        if (request_.action == FrontEndRequest::Action::Run && request_.mailFile && namedFile_)
            Refuse("--mail prints a message file alone; leave out --file and --workbook");
        // A destination from the environment is checked as --output would
        // be, so a mistyped one ends here instead of printing elsewhere.
        const char* environment = std::getenv("PLOTWISE_OUTPUT");
        if (request_.action == FrontEndRequest::Action::Run && !request_.plotwiseOutput
            && !request_.outputToStandardOutput && environment && *environment) {
            const std::string output = environment;
            if (output.starts_with("cups:")) {
                if (output.size() == 5)
                    Refuse("PLOTWISE_OUTPUT=cups: needs a queue name");
            } else if (std::optional<std::string> fault = CheckOutputPath(output)) {
                Refuse("PLOTWISE_OUTPUT: " + *fault);
            }
        }
        if (request_.action == FrontEndRequest::Action::Run) {
            for (const std::string& part : parts_) {
                if (!request_.commandLine.empty())
                    request_.commandLine += ' ';
                request_.commandLine += part;
            }
        }
        return request_;
    }

    void Refuse(std::string error)
    {
        request_.action = FrontEndRequest::Action::UsageError;
        request_.error = std::move(error);
    }

    // True for a long option written without "=" that takes a value, which
    // is then the next argument.
    static bool TakesNextArgument(std::string_view argument)
    {
        if (argument.find('=') != std::string_view::npos || argument == "--quiet" || argument == "--help"
            || argument == "--version")
            return false;
        return std::none_of(kFlagOptions.begin(), kFlagOptions.end(),
            [argument](const FlagOption& option) { return option.name == argument; });
    }

    // The value of "--name=value" or of "--name value".
    std::optional<std::string> Value(std::string_view argument, std::string_view name)
    {
        if (argument.size() > name.size() && argument[name.size()] == '=')
            return std::string(argument.substr(name.size() + 1));
        if (index_ + 1 < arguments_.size())
            return arguments_[++index_];
        Refuse(std::string(name) + " needs a value");
        return std::nullopt;
    }

    static bool Names(std::string_view argument, std::string_view name)
    {
        return argument == name
            || (argument.size() > name.size() && argument.starts_with(name) && argument[name.size()] == '=');
    }

    void TranslateFile(std::string_view argument, std::string_view name, std::string_view switchText)
    {
        std::optional<std::string> value = Value(argument, name);
        if (!value)
            return;
        namedFile_ = true;
        if (name == "--file" && *value == "-") {
            request_.fileFromStandardInput = true;
            parts_.push_back(std::string(switchText) + " \"" + std::string(kStandardInputName) + "\"");
            return;
        }
        std::optional<std::string> fileName = FileNameArgument(*value);
        if (!fileName) {
            Refuse(std::string(name) + ": the file name is empty or holds a double quote");
            return;
        }
        parts_.push_back(std::string(switchText) + " " + *fileName);
    }

    // --print=PATH: the option the file's ending asks for, so that one
    // command (the desktop entry's) prints every kind of file.
    void TranslatePrint(std::string_view argument)
    {
        std::optional<std::string> value = Value(argument, "--print");
        if (!value)
            return;
        std::string ending = value->substr(std::min(value->size(), value->rfind('.')));
        for (char& c : ending)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ending == ".eml")
            return TranslateMail("--mail=" + *value);
        if (ending == ".pxl" || ending == ".pxt")
            return TranslateFile("--workbook=" + *value, "--workbook", "/A");
        TranslateFile("--file=" + *value, "--file", "/F");
    }

    // The message file goes beside the command line, which has no switch
    // for it; /E gives the print its exit statuses.
    void TranslateMail(std::string_view argument)
    {
        std::optional<std::string> value = Value(argument, "--mail");
        if (!value)
            return;
        if (value->empty()) {
            Refuse("--mail needs a message file");
            return;
        }
        if (request_.mailFile) {
            Refuse("--mail names one message file");
            return;
        }
        request_.mailFile = *value;
        request_.mailFromStandardInput = *value == "-";
        parts_.emplace_back("/E");
    }

    void TranslateCell(std::string_view argument, std::string_view name, std::string_view switchText)
    {
        std::optional<std::string> value = Value(argument, name);
        if (!value)
            return;
        if (value->empty() || value->find_first_of(" /\"") != std::string::npos) {
            Refuse(std::string(name) + ": a cell is written like B3 or AA12");
            return;
        }
        parts_.push_back(std::string(switchText) + *value);
    }

    void TranslateSizing(std::string_view argument)
    {
        std::optional<std::string> value = Value(argument, "--sizing");
        if (!value)
            return;
        if (*value == "normal")
            parts_.push_back("/XZ0");
        else if (*value == "fit")
            parts_.push_back("/XZ1");
        else if (IsAllDigits(*value) && value->size() <= 3)
            parts_.push_back("/XZ2 /XZC" + *value);
        else
            Refuse("--sizing: use normal, fit or a percentage from 25 to 250");
    }

    void TranslateSheet(std::string_view argument)
    {
        std::optional<std::string> value = Value(argument, "--sheet");
        if (!value)
            return;
        if (value->size() != 1 || !IsAllDigits(*value)) {
            Refuse("--sheet: use a sheet number from 0 to 9");
            return;
        }
        parts_.push_back("/XS" + *value);
    }

    void TranslateOne(const std::string& argument)
    {
        if (argument == "--help" || argument == "-h") {
            request_.action = FrontEndRequest::Action::Help;
            return;
        }
        if (argument == "--version") {
            request_.action = FrontEndRequest::Action::Version;
            return;
        }
        if (argument == "--quiet") {
            request_.quiet = true;
            return;
        }
        if (!argument.starts_with("--")) {
            parts_.push_back(QuoteArgument(argument));
            return;
        }
        for (const FlagOption& option : kFlagOptions) {
            if (argument == option.name) {
                parts_.emplace_back(option.switchText);
                return;
            }
        }
        for (const ChoiceOption& option : kChoiceOptions) {
            if (!Names(argument, option.name))
                continue;
            std::optional<std::string> value = Value(argument, option.name);
            if (!value)
                return;
            for (const auto& [word, switchText] : option.choices) {
                if (!word.empty() && *value == word) {
                    parts_.emplace_back(switchText);
                    return;
                }
            }
            Refuse(std::string(option.name) + ": unknown value \"" + *value + "\"");
            return;
        }
        if (Names(argument, "--mail"))
            return TranslateMail(argument);
        if (Names(argument, "--print"))
            return TranslatePrint(argument);
        if (Names(argument, "--file"))
            return TranslateFile(argument, "--file", "/F");
        if (Names(argument, "--workbook"))
            return TranslateFile(argument, "--workbook", "/A");
        if (Names(argument, "--from"))
            return TranslateCell(argument, "--from", "/XAF");
        if (Names(argument, "--to"))
            return TranslateCell(argument, "--to", "/XAT");
        if (Names(argument, "--sizing"))
            return TranslateSizing(argument);
        if (Names(argument, "--sheet"))
            return TranslateSheet(argument);
        if (Names(argument, "--output")) {
            std::optional<std::string> value = Value(argument, "--output");
            if (!value || value->empty()) {
                if (request_.action == FrontEndRequest::Action::Run)
                    Refuse("--output needs a file name");
            } else if (*value == "-") {
                request_.outputToStandardOutput = true;
                request_.plotwiseOutput.reset();
            } else if (std::optional<std::string> fault = CheckOutputPath(*value)) {
                Refuse("--output: " + *fault);
            } else {
                request_.plotwiseOutput = *value;
                request_.outputToStandardOutput = false;
            }
            return;
        }
        if (Names(argument, "--format")) {
            std::optional<std::string> value = Value(argument, "--format");
            if (value && (*value == "pdf" || *value == "ps"))
                request_.standardOutputFormat = *value;
            else if (value)
                Refuse("--format: use pdf or ps");
            return;
        }
        if (Names(argument, "--paper")) {
            std::optional<std::string> value = Value(argument, "--paper");
            if (value && IsPaperName(*value))
                request_.paper = *value;
            else if (value)
                Refuse("--paper: use a3, a4, a5, legal, letter or a size like 210x297mm");
            return;
        }
        if (Names(argument, "--printer")) {
            if (std::optional<std::string> value = Value(argument, "--printer"); value && !value->empty())
                request_.plotwiseOutput = "cups:" + *value;
            else if (request_.action == FrontEndRequest::Action::Run)
                Refuse("--printer needs a queue name");
            return;
        }
        Refuse("unknown option " + argument);
    }

    // Each part is final command-line text: translated switches as they are,
    // other arguments quoted when they hold a space.
    std::span<const std::string> arguments_;
    std::size_t index_ = 0;
    std::vector<std::string> parts_;
    bool namedFile_ = false; // --file or --workbook was given
    FrontEndRequest request_;
};

} // namespace

std::optional<std::string> CheckOutputPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!path.empty() && path.back() == '/')
        return path + " is a folder; name a file in it";
    if (fs::is_directory(path, error))
        return path + " is a folder; name a file in it";
    std::string ending = fs::path(path).extension().string();
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending != ".pdf" && ending != ".ps" && ending != ".png" && ending != ".txt")
        return path + ": the pages can be written as .pdf, .ps, .png or .txt (or - for standard output)";
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    if (!fs::is_directory(folder, error))
        return path + ": the folder " + folder.string() + " does not exist";
    if (::access(folder.c_str(), W_OK) != 0)
        return path + ": the folder " + folder.string() + " cannot be written (" + std::strerror(errno) + ")";
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return path + " cannot be replaced (" + std::strerror(errno) + ")";
    return std::nullopt;
}

bool IsPaperName(std::string_view name)
{
    for (std::string_view known : { "a3", "a4", "a5", "legal", "letter" }) {
        if (name == known)
            return true;
    }
    // WIDTHxHEIGHT, each a number with at most one decimal point.
    for (std::string_view unit : { "mm", "cm", "in", "pt" }) {
        if (name.ends_with(unit)) {
            name.remove_suffix(unit.size());
            break;
        }
    }
    auto isNumber = [](std::string_view text) {
        bool digit = false;
        bool point = false;
        for (char c : text) {
            if (c >= '0' && c <= '9')
                digit = true;
            else if (c == '.' && !point)
                point = true;
            else
                return false;
        }
        return digit;
    };
    const std::size_t cross = name.find('x');
    return cross != std::string_view::npos && isNumber(name.substr(0, cross)) && isNumber(name.substr(cross + 1));
}

FrontEndRequest TranslateArguments(std::span<const std::string> arguments)
{
    return Translator(arguments).Run();
}

std::string JoinCommandLine(std::span<const std::string> arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += QuoteArgument(argument);
    }
    return line;
}

std::string HelpText(std::string_view programName)
{
    std::string name(programName);
    return "Usage: " + name + R"( [SWITCHES] [OPTIONS]
Prints Pocket Word, RTF and text documents, Pocket Excel workbooks and
e-mail messages.

Switches (letters in either case; a file name cannot contain "/", so write
directories with "\", or use --file, which does that for you):
  /F NAME      print the document NAME and end
  /A NAME      print the workbook NAME and end
  /E           exit statuses for a calling program (see below)
  /Q           quick print: no print dialogs
  /P           print the document as plain text
  /W /I /X     start with the document, e-mail or workbook list
  /XQ          print the workbook without the spreadsheet options dialog
  /XA0../XA3   range: full, selected, populated, custom
  /XAFcell     custom range from cell (e.g. /XAFB3); end it with a space
  /XATcell     custom range to cell
  /XG0 /XG1    gridlines off/on        /XH0 /XH1   headings off/on
  /XB0 /XB1    background colours      /XC0 /XC1   centring off/on
  /XS0../XS9   sheet number            /XZ0 /XZ1 /XZ2  normal, fit, custom size
  /XZCnnn      custom size in percent (25 to 250, else 100)
  A command line of 260 characters or more is ignored as a whole.
  Spreadsheet options given with /A or /X are stored for later runs.

Long options (translated into the switches above):
  --file=PATH            /F PATH         --workbook=PATH      /A PATH
  --quick                /Q              --exit-codes         /E
  --plain-text           /P              --no-sheet-dialog    /XQ
  --documents            /W              --email              /I
  --workbooks            /X              --sheet=N            /XSN
  --range=full|selected|populated|custom /XA0 to /XA3
  --from=CELL            /XAFCELL        --to=CELL            /XATCELL
  --gridlines=on|off     /XG1 /XG0       --headings=on|off    /XH1 /XH0
  --background-colors=on|off /XB1 /XB0   --center=on|off      /XC1 /XC0
  --sizing=normal|fit|PERCENT            /XZ0, /XZ1, /XZ2 /XZCPERCENT
  --mail=MESSAGE         print one e-mail message file and end: a file of a
                         Maildir folder (in its cur/ or new/) or a standalone
                         .eml; ends with the statuses of /E (no switch of its
                         own; not with --file or --workbook)
  --print=PATH           --workbook for a .pxl or .pxt file, --mail for an
                         .eml file, else --file
  --output=PATH          print to PATH (.pdf, .ps, .png, .txt) for this run;
                         another ending, a folder or a folder that cannot be
                         written ends with 64 before anything prints
  --output=-             write the pages to standard output (PDF, or
                         PostScript with --format=ps)
  --file=-               print the document read from standard input
  --mail=-               print the message read from standard input (as a
                         mail reader's print command: --mail=- --quick)
  --printer=QUEUE        print to the CUPS queue QUEUE for this run
  --paper=PAPER          print on a3, a4, a5, legal, letter or a size like
                         210x297mm for this run
  --quiet                on a terminal, no line saying where the pages went
  FILE                   a file as the only argument (long options aside)
                         prints as --print=FILE
  --help, -h             show this text and end
  --version              show the version and end

Exit statuses:
                                          with /E   without
  printing library missing or too old        0         0
  another copy already runs                  0         1
  window creation failed                   995         0
  file not printed (reason shown)            2         0
  print cancelled                           63         0
  print failed                             995         0
  printed                                    0         1
  A shell sees only the low 8 bits of a status: 995 arrives as 227.
  A refused long option ends with 64 before anything starts. An interrupt
  (SIGINT, SIGTERM, SIGHUP) ends as a cancelled print and removes the
  unfinished output file.

Environment:
  TALLOWIN_REGISTRY   the settings file (default
                      $XDG_CONFIG_HOME/tallowin/registry.reg, or
                      ~/.config/tallowin/registry.reg)
  TALLOWIN_LOCK_TIMEOUT  seconds a settings save waits for another copy's
                      lock before it gives up (default 5)
  TALLOWIN_LIBDIR     the directory of the printing and language libraries
                      (default: ../lib/tallowin beside the program)
  TALLOWIN_DOCUMENTS  the folder the window lists documents and workbooks
                      from, subfolders included (default: the documents
                      folder xdg-user-dir names, else ~/Documents)
  PLOTWISE_OUTPUT     where the printing library prints: a .pdf, .ps, .png
                      or .txt file, or cups:QUEUE; checked as --output is
  LPDEST, PRINTER     the CUPS queue to print to when no destination is
                      given (else the lpoptions or the server's default;
                      without a default queue, a PDF named after the
                      document in the documents folder, XDG_DOCUMENTS_DIR)
  PAPERSIZE, PAPERCONF  the paper, unless a queue has one of its own

Without a file to print, the program opens its window (it needs a display,
DISPLAY or WAYLAND_DISPLAY); a second start without a file brings the
running window forward and ends at once.
)";
}

} // namespace shell
