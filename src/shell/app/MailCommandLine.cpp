#include "MailCommandLine.h"

#include <optional>

namespace shell {

namespace {

std::optional<std::string> mailFile;
MailFilePrinter mailFilePrinter = nullptr;

} // namespace

void SetCommandLineMailFile(std::string path, MailFilePrinter printer)
{
    mailFile = std::move(path);
    mailFilePrinter = printer;
}

bool HasCommandLineMailFile()
{
    return mailFile.has_value();
}

MailFileOutcome PrintCommandLineMailFile()
{
    if (!mailFile || mailFilePrinter == nullptr)
        return MailFileOutcome::NotPrinted;
    return mailFilePrinter(*mailFile);
}

void ClearCommandLineMailFile()
{
    mailFile.reset();
    mailFilePrinter = nullptr;
}

} // namespace shell
