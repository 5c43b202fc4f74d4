#pragma once

// A file written beside its final name and moved there only when complete,
// so a failed job never leaves half a file nor destroys an existing one.

#include <cstdio>
#include <string>

namespace plotwise {

enum class ExistingFile {
    Replace, // the user named the file: replace what is there
    KeepAndNumber, // a name of our own choosing: add " (2)", " (3)" ... instead
};

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates the temporary file beside path. On failure error says why, in
    // the words of the message shown to the user.
    bool Open(const std::string& path, ExistingFile existing, std::string& error);
    bool Write(const void* data, size_t size);
    // Moves the finished file to its name; FinalPath() then names it.
    bool Commit(std::string& error);
    // Removes the temporary file.
    void Abandon();

    const std::string& FinalPath() const { return path_; }
    // The system's error number of the first failed write, 0 when none failed.
    int WriteErrno() const { return writeFailed_ ? writeErrno_ : 0; }
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temporary_;
    ExistingFile existing_ = ExistingFile::Replace;
    bool writeFailed_ = false;
    int writeErrno_ = 0;
    int watchSlot_ = -1; // where an interrupt finds the temporary file
};

// "cannot write PATH: REASON"
std::string CannotWrite(const std::string& path, int error);

// A file name made from a job title: path separators and control characters
// become "_", the result is at most 120 bytes; "document" when nothing is left.
std::string FileNameFromTitle(const std::string& title);

// Creates a directory and its parents; errno is set on failure.
bool MakeDirectories(const std::string& path);

} // namespace plotwise
