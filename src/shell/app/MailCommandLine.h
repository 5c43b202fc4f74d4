#pragma once

// The message file of a start with --mail. The Windows-style command line
// has no switch for e-mail, so the front end hands the file over here, and
// the print-only road of WinMain prints it through the e-mail printer the
// program installs with it.

#include <string>

namespace shell {

enum class MailFileOutcome {
    NotPrinted, // the file is no message; the printer has said so
    JobRan, // the outcome is the print job's FinalStatus
    FailedPartWay, // the job ran but the message did not print whole; the printer has said so
};

// The path is kept as the system gave it (bytes, not UTF-16), so any file
// name can be opened.
using MailFilePrinter = MailFileOutcome (*)(const std::string& path);

void SetCommandLineMailFile(std::string path, MailFilePrinter printer);
bool HasCommandLineMailFile();
// Prints the file; NotPrinted when no file or no printer was given.
MailFileOutcome PrintCommandLineMailFile();
// Forgets the file and the printer (tests that run WinMain more than once).
void ClearCommandLineMailFile();

} // namespace shell
