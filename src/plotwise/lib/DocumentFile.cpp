#include "DocumentFile.h"

#include <cups/cups.h>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace plotwise {

bool OpenDocumentFile(
    const PrintSetup& setup, const std::string& title, OutputFile& file, std::string& path, std::string& error)
{
    if (setup.Destination == DestinationKind::Cups) {
        const char* temporary = std::getenv("TMPDIR");
        path = std::string(temporary && *temporary ? temporary : "/tmp") + "/plotwise-job-" + std::to_string(getpid())
            + ".pdf";
        return file.Open(path, ExistingFile::Replace, error);
    }
    if (setup.ExplicitOutput) {
        path = setup.OutputPath;
        return file.Open(path, ExistingFile::Replace, error);
    }
    if (!MakeDirectories(setup.OutputFolder)) {
        error = CannotWrite(setup.OutputFolder, errno);
        return false;
    }
    path = setup.OutputFolder + "/" + FileNameFromTitle(title) + ".pdf";
    return file.Open(path, ExistingFile::KeepAndNumber, error);
}

std::string DocumentWriteFailure(const OutputFile& file, const std::string& path)
{
    int writeErrno = file.WriteErrno();
    return writeErrno ? CannotWrite(path, writeErrno) : "cannot write " + path + ": rendering failed";
}

bool SubmitToQueue(const PrintSetup& setup, const std::string& path, const std::string& title, std::string& error, int* jobId)
{
    std::string copies = std::to_string(setup.Copies);
    cups_option_t option { const_cast<char*>("copies"), copies.data() };
    const int optionCount = setup.Copies > 1 ? 1 : 0;
    int job = cupsPrintFile(setup.CupsQueue.c_str(), path.c_str(), title.c_str(), optionCount, &option);
    unlink(path.c_str());
    if (job == 0) {
        error = "cannot print to " + setup.CupsQueue + ": " + cupsLastErrorString();
        return false;
    }
    if (jobId)
        *jobId = job;
    return true;
}

long long SourceDateEpoch()
{
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch || !*epoch)
        return -1;
    char* end = nullptr;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (*end != '\0' || seconds < 0)
        return -1;
    return seconds;
}

} // namespace plotwise
