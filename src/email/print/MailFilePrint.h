#pragma once

// The printing of one message file named on the command line: a file of a
// Maildir folder (in its cur/ or new/), a standalone message (.eml), or an
// mbox file, whose messages print as one job, each starting a new page. It
// goes through the print of a message tapped in the list, over a session
// whose one store holds the file.

#include <filesystem>
#include <optional>

namespace email {

enum class MailFilePrintResult {
    NotPrinted, // the file cannot be read as a message; the user was told
    JobRan, // the outcome is the print job's FinalStatus
    FailedPartWay, // the job ran, but the message could not be printed whole; the user was told
};

// With a message number (1-based) only that message of the file prints; a
// number beyond the file's messages prints nothing and tells the user how
// many there are.
MailFilePrintResult PrintMailFile(
    const std::filesystem::path& path, std::optional<unsigned> messageNumber = std::nullopt);

} // namespace email
