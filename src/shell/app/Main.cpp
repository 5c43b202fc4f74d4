// The program: joins its arguments into the Windows-style command line,
// after translating the long options, and runs the start-up sequence. The
// exit status is WinMain's result, of which a shell sees the low 8 bits.
#include "CommandLine.h"
#include "FrontEnd.h"
#include "Interrupts.h"
#include "MailCommandLine.h"
#include "MailFilePrint.h"
#include "TextConversion.h"
#include "WinMain.h"

#include "Module.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifndef TALLOWIN_VERSION
#define TALLOWIN_VERSION "unknown"
#endif

namespace {

// The show state of a window opened the normal way.
constexpr int kShowNormal = 1;

// The e-mail printer of --mail, in the shell's terms.
shell::MailFileOutcome PrintMailFileFromCommandLine(const std::string& path)
{
    switch (email::PrintMailFile(path)) {
    case email::MailFilePrintResult::NotPrinted:
        return shell::MailFileOutcome::NotPrinted;
    case email::MailFilePrintResult::FailedPartWay:
        return shell::MailFileOutcome::FailedPartWay;
    case email::MailFilePrintResult::JobRan:
        break;
    }
    return shell::MailFileOutcome::JobRan;
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
        std::fputs(shell::HelpText(programName).c_str(), stdout);
        return 0;
    case shell::FrontEndRequest::Action::Version:
        std::printf("tallowin %s\n", TALLOWIN_VERSION);
        return 0;
    case shell::FrontEndRequest::Action::UsageError:
        std::fprintf(stderr, "%s: %s (see --help)\n", programName.c_str(), request.error.c_str());
        return shell::kUsageErrorStatus;
    case shell::FrontEndRequest::Action::Run:
        break;
    }

    if (request.plotwiseOutput)
        setenv("PLOTWISE_OUTPUT", request.plotwiseOutput->c_str(), 1);

    if (request.mailFile)
        shell::SetCommandLineMailFile(*request.mailFile, PrintMailFileFromCommandLine);

    std::u16string commandLine = shell::Utf8ToUtf16(request.commandLine);
    if (commandLine.size() >= shell::kMaxCommandLineLength) {
        std::fprintf(stderr, "%s: the command line has %zu characters; one of %zu or more is ignored as a whole\n",
            programName.c_str(), commandLine.size(), shell::kMaxCommandLineLength);
    }
    return shell::WinMain(platform::ProgramModule(), nullptr, commandLine.c_str(), kShowNormal);
}
