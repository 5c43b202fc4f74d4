#include "FrontEnd.h"

#include "CommandLine.h"
#include "Messages.h"
#include "StringIds.h"
#include "TextConversion.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

// True for a name ending as the documents, workbooks and messages the
// program prints do; such a name alone on the command line is meant as a
// file even when there is none, so the user hears that it cannot be opened.
bool HasDocumentEnding(std::string_view name)
{
    const std::string ending = std::filesystem::path(name).extension().string();
    for (std::string_view known : { ".txt", ".rtf", ".psw", ".pwi", ".pxl", ".pxt", ".eml", ".mbox", ".mbx" }) {
        if (ending.size() == known.size()
            && std::equal(ending.begin(), ending.end(), known.begin(),
                [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return true;
    }
    return false;
}

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
        constexpr std::size_t kNoBareFile = static_cast<std::size_t>(-1);
        std::size_t bareFile = kNoBareFile;
        for (std::size_t i = 0; i < arguments_.size(); ++i) {
            const std::string& argument = arguments_[i];
            if (argument.starts_with("--")) {
                if (TakesNextArgument(argument))
                    ++i;
                continue;
            }
            std::error_code error;
            if (bareFile != kNoBareFile || argument.empty() || argument[0] == '-'
                || !(std::filesystem::is_regular_file(argument, error) || HasDocumentEnding(argument))) {
                bareFile = kNoBareFile;
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
            Refuse({ platform::kStrMailPrintsAlone });
        if (request_.action == FrontEndRequest::Action::Run && request_.mailMessage && !request_.mailFile)
            Refuse({ platform::kStrMessageNeedsMail });
        // A destination from the environment is checked as --output would
        // be, so a mistyped one ends here instead of printing elsewhere.
        const char* environment = std::getenv("PLOTWISE_OUTPUT");
        if (request_.action == FrontEndRequest::Action::Run && !request_.plotwiseOutput
            && !request_.outputToStandardOutput && environment && *environment) {
            const std::string output = environment;
            if (output.starts_with("cups:")) {
                if (output.size() == 5)
                    Refuse({ platform::kStrCupsOutputNeedsQueue });
            } else if (std::optional<FrontEndText> fault = CheckOutputPath(output)) {
                fault->subject = "PLOTWISE_OUTPUT";
                Refuse(std::move(*fault));
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

    void Refuse(FrontEndText error)
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
        Refuse({ platform::kStrOptionNeedsValue, { std::string(name) } });
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
            Refuse({ platform::kStrFileNameRefused, { std::string(name) } });
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
        if (ending == ".eml" || ending == ".mbox" || ending == ".mbx")
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
            Refuse({ platform::kStrMailNeedsFile });
            return;
        }
        if (request_.mailFile) {
            Refuse({ platform::kStrMailNamesOneFile });
            return;
        }
        request_.mailFile = *value;
        request_.mailFromStandardInput = *value == "-";
        parts_.emplace_back("/E");
    }

    void TranslateMessageNumber(std::string_view argument)
    {
        std::optional<std::string> value = Value(argument, "--message");
        if (!value)
            return;
        constexpr std::size_t kMaxDigits = 9;
        if (!IsAllDigits(*value) || value->size() > kMaxDigits || std::stoul(*value) == 0) {
            Refuse({ platform::kStrMessageNeedsNumber });
            return;
        }
        request_.mailMessage = static_cast<unsigned>(std::stoul(*value));
    }

    void TranslateCell(std::string_view argument, std::string_view name, std::string_view switchText)
    {
        std::optional<std::string> value = Value(argument, name);
        if (!value)
            return;
        if (value->empty() || value->find_first_of(" /\"") != std::string::npos) {
            Refuse({ platform::kStrCellRefused, { std::string(name) } });
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
            Refuse({ platform::kStrSizingRefused });
    }

    void TranslateSheet(std::string_view argument)
    {
        std::optional<std::string> value = Value(argument, "--sheet");
        if (!value)
            return;
        if (value->size() != 1 || !IsAllDigits(*value)) {
            Refuse({ platform::kStrSheetRefused });
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
            Refuse({ platform::kStrOptionUnknownValue, { std::string(option.name), *value } });
            return;
        }
        if (Names(argument, "--mail"))
            return TranslateMail(argument);
        if (Names(argument, "--message"))
            return TranslateMessageNumber(argument);
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
                    Refuse({ platform::kStrOutputNeedsName });
            } else if (*value == "-") {
                request_.outputToStandardOutput = true;
                request_.plotwiseOutput.reset();
            } else if (std::optional<FrontEndText> fault = CheckOutputPath(*value)) {
                fault->subject = "--output";
                Refuse(std::move(*fault));
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
                Refuse({ platform::kStrFormatRefused });
            return;
        }
        if (Names(argument, "--paper")) {
            std::optional<std::string> value = Value(argument, "--paper");
            if (value && IsPaperName(*value))
                request_.paper = *value;
            else if (value)
                Refuse({ platform::kStrPaperRefused });
            return;
        }
        if (Names(argument, "--printer")) {
            if (std::optional<std::string> value = Value(argument, "--printer"); value && !value->empty())
                request_.plotwiseOutput = "cups:" + *value;
            else if (request_.action == FrontEndRequest::Action::Run)
                Refuse({ platform::kStrPrinterNeedsQueue });
            return;
        }
        Refuse({ platform::kStrUnknownOption, { argument } });
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

std::optional<FrontEndText> CheckOutputPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!path.empty() && path.back() == '/')
        return FrontEndText { platform::kStrOutputIsFolder, { path } };
    if (fs::is_directory(path, error))
        return FrontEndText { platform::kStrOutputIsFolder, { path } };
    std::string ending = fs::path(path).extension().string();
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending != ".pdf" && ending != ".ps" && ending != ".png" && ending != ".txt")
        return FrontEndText { platform::kStrOutputEndingRefused, { path } };
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    if (!fs::is_directory(folder, error))
        return FrontEndText { platform::kStrOutputFolderMissing, { path, folder.string() } };
    if (::access(folder.c_str(), W_OK) != 0)
        return FrontEndText { platform::kStrOutputFolderReadOnly, { path, folder.string(), std::strerror(errno) } };
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return FrontEndText { platform::kStrOutputNotReplaceable, { path, std::strerror(errno) } };
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

std::string FillPlaceholders(std::string_view text, std::span<const std::string> values)
{
    std::string filled;
    std::size_t next = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 1 < text.size() && text[at + 1] == 's' && next < values.size()) {
            filled += values[next++];
            ++at;
        } else {
            filled += text[at];
        }
    }
    return filled;
}

std::string LoadFrontEndText(const FrontEndText& text, platform::ModuleHandle module)
{
    const char16_t* stored = core::LoadResString(module, text.id, nullptr, 0);
    std::string filled = FillPlaceholders(stored ? Utf16ToUtf8(stored) : std::string(), text.values);
    return text.subject.empty() ? filled : text.subject + ": " + filled;
}

std::string UsageErrorLine(std::string_view programName, const FrontEndText& error, platform::ModuleHandle module)
{
    return LoadFrontEndText(
        { platform::kStrUsageErrorLine, { std::string(programName), LoadFrontEndText(error, module) } }, module);
}

std::string HelpText(std::string_view programName, platform::ModuleHandle module)
{
    return LoadFrontEndText({ platform::kStrHelpText, { std::string(programName) } }, module);
}

} // namespace shell
