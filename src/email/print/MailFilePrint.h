#pragma once

// The printing of one message file named on the command line: a file of a
// Maildir folder (in its cur/ or new/) or a standalone message (.eml). It
// goes through PrintMailMessage like a message tapped in the list, over a
// session whose one store holds the file.

#include <filesystem>

namespace email {

enum class MailFilePrintResult {
    NotPrinted, // the file cannot be read as a message; the user was told
    JobRan, // the outcome is the print job's FinalStatus
    FailedPartWay, // the job ran, but the message could not be printed whole; the user was told
};

MailFilePrintResult PrintMailFile(const std::filesystem::path& path);

} // namespace email
