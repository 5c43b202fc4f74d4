// The program: joins its arguments into the Windows-style command line,
// after translating the long options, and runs the start-up sequence. The
// exit status is WinMain's result, of which a shell sees the low 8 bits.
#include "CommandLine.h"
#include "FrontEnd.h"
#include "Interrupts.h"
#include "MailCommandLine.h"
#include "MailFilePrint.h"
#include "StartupResources.h"
#include "TextConversion.h"
#include "WinMain.h"

#include "Module.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifndef TALLOWIN_VERSION
#define TALLOWIN_VERSION "unknown"
#endif

namespace {

// The show state of a window opened the normal way.
constexpr int kShowNormal = 1;

// The ending of a print that failed, as /E gives it: pages that cannot reach
// standard output are a failed print whatever the switches say.
constexpr int kPrintFailedStatus = 995;

// The message of --message, for the e-mail printer of --mail.
std::optional<unsigned> commandLineMailMessage;

// The e-mail printer of --mail, in the shell's terms.
shell::MailFileOutcome PrintMailFileFromCommandLine(const std::string& path)
{
    switch (email::PrintMailFile(path, commandLineMailMessage)) {
    case email::MailFilePrintResult::NotPrinted:
        return shell::MailFileOutcome::NotPrinted;
    case email::MailFilePrintResult::FailedPartWay:
        return shell::MailFileOutcome::FailedPartWay;
    case email::MailFilePrintResult::JobRan:
        break;
    }
    return shell::MailFileOutcome::JobRan;
}

// A folder of this run's own for what standard input brings and for pages
// bound for standard output; removed when the run ends, however it ends.
class ScratchFolder {
public:
    bool Make()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tallowin-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return false;
        path_ = pattern;
        return true;
    }
    ~ScratchFolder()
    {
        if (!path_.empty()) {
            std::error_code error;
            std::filesystem::remove_all(path_, error);
        }
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Copies all of from into to; false when a read or a write fails.
bool CopyStream(std::FILE* from, std::FILE* to)
{
    char buffer[65536];
    std::size_t read = 0;
    bool written = true;
    while ((read = std::fread(buffer, 1, sizeof buffer, from)) > 0)
        written = written && std::fwrite(buffer, 1, read, to) == read;
    return written && std::ferror(from) == 0;
}

// Copies standard input into path; false when it cannot.
bool SaveStandardInput(const std::string& path)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool copied = CopyStream(stdin, out);
    return std::fclose(out) == 0 && copied;
}

// Copies the finished pages to standard output; false when it cannot.
bool SendToStandardOutput(const std::string& path)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;
    bool copied = CopyStream(in, stdout);
    std::fclose(in);
    return std::fflush(stdout) == 0 && copied;
}

// The command line names a file as the switches take it: in double quotes,
// with "\" between folders.
std::string CommandLineFileName(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "\"" + path + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    platform::WatchInterrupts();
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    shell::FrontEndRequest request = shell::TranslateArguments(arguments);
    std::string programName = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "tallowin";

    switch (request.action) {
    case shell::FrontEndRequest::Action::Help:
        // The texts come from the module the start-up sequence would choose;
        // only these two roads load it this early.
        std::fputs(shell::HelpText(programName, shell::ChooseStartupResourceModule(platform::ProgramModule())).c_str(),
            stdout);
        return 0;
    case shell::FrontEndRequest::Action::Version:
        std::printf("tallowin %s\n", TALLOWIN_VERSION);
        return 0;
    case shell::FrontEndRequest::Action::UsageError:
        std::fprintf(stderr, "%s\n",
            shell::UsageErrorLine(
                programName, request.error, shell::ChooseStartupResourceModule(platform::ProgramModule()))
                .c_str());
        return shell::kUsageErrorStatus;
    case shell::FrontEndRequest::Action::Run:
        break;
    }

    ScratchFolder scratch;
    std::string pagesForStandardOutput;
    const bool readsStandardInput = request.fileFromStandardInput || request.mailFromStandardInput;
    if (readsStandardInput || request.outputToStandardOutput) {
        if (!scratch.Make()) {
            std::fprintf(stderr, "%s: no folder for standard input or output can be made: %s\n", programName.c_str(),
                std::strerror(errno));
            return shell::kUsageErrorStatus;
        }
        platform::RemoveOnInterrupt(scratch.Path() + "/input");
        platform::RemoveOnInterrupt(scratch.Path() + "/pages." + request.standardOutputFormat);
        platform::RemoveOnInterrupt(scratch.Path());
    }
    if (readsStandardInput) {
        const std::string input = scratch.Path() + "/input";
        if (!SaveStandardInput(input)) {
            std::fprintf(stderr, "%s: standard input cannot be read: %s\n", programName.c_str(), std::strerror(errno));
            return shell::kUsageErrorStatus;
        }
        if (request.mailFromStandardInput)
            request.mailFile = input;
        const std::string placeholder = "\"" + std::string(shell::kStandardInputName) + "\"";
        if (std::size_t at = request.commandLine.find(placeholder); at != std::string::npos)
            request.commandLine.replace(at, placeholder.size(), CommandLineFileName(input));
    }
    if (request.outputToStandardOutput) {
        pagesForStandardOutput = scratch.Path() + "/pages." + request.standardOutputFormat;
        request.plotwiseOutput = pagesForStandardOutput;
    }
    if (request.plotwiseOutput)
        setenv("PLOTWISE_OUTPUT", request.plotwiseOutput->c_str(), 1);
    if (request.quiet)
        setenv("PLOTWISE_QUIET", "1", 1);
    if (request.paper)
        setenv("PLOTWISE_PAPER", request.paper->c_str(), 1);

    if (request.mailFile) {
        commandLineMailMessage = request.mailMessage;
        shell::SetCommandLineMailFile(*request.mailFile, PrintMailFileFromCommandLine);
    }

    std::u16string commandLine = shell::Utf8ToUtf16(request.commandLine);
    if (commandLine.size() >= shell::kMaxCommandLineLength) {
        std::fprintf(stderr, "%s: the command line has %zu characters; one of %zu or more is ignored as a whole\n",
            programName.c_str(), commandLine.size(), shell::kMaxCommandLineLength);
    }
    int status = shell::WinMain(platform::ProgramModule(), nullptr, commandLine.c_str(), kShowNormal);
    std::error_code error;
    if (!pagesForStandardOutput.empty() && std::filesystem::exists(pagesForStandardOutput, error)
        && !SendToStandardOutput(pagesForStandardOutput)) {
        std::fprintf(stderr, "%s: the pages cannot be written to standard output: %s\n", programName.c_str(),
            std::strerror(errno));
        return kPrintFailedStatus;
    }
    return status;
}
