#pragma once

// The file a whole-document destination (PDF, PostScript) writes: the path
// the user named, the default folder, or a temporary file for a CUPS queue,
// and the hand-over to the queue once the document is complete.

#include "OutputFile.h"
#include "PrintSetup.h"

#include <string>

namespace plotwise {

// Opens the document's file; path is set to the file's final name.
bool OpenDocumentFile(
    const PrintSetup& setup, const std::string& title, OutputFile& file, std::string& path, std::string& error);

// The message for a document that could not be written: the system's
// reason for a failed write when there was one.
std::string DocumentWriteFailure(const OutputFile& file, const std::string& path);

// Sends a finished document to the setup's CUPS queue and removes it.
// Prints the file on the setup's queue; jobId is the queue's number for it.
bool SubmitToQueue(
    const PrintSetup& setup, const std::string& path, const std::string& title, std::string& error, int* jobId = nullptr);

// The creation date of reproducible builds, from SOURCE_DATE_EPOCH, as
// seconds since 1970; -1 when it is not set or cannot be read.
long long SourceDateEpoch();

} // namespace plotwise
