#include "WorkbookMapping.h"

#include <FilePath.h>

#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spreadsheet
{

bool WorkbookMapping::Open(const char16_t* path)
{
    Close();
    if (!path)
        return false;
    // CreateFileForMappingW: read access, open existing. A backslash is a
    // directory separator: a name on the command line cannot hold "/".
    const std::optional<std::string> name = platform::FileSystemPath(path);
    if (!name)
        return false;
    file_ = ::open(name->c_str(), O_RDONLY | O_CLOEXEC);
    if (file_ < 0)
        return false;
    // GetFileSize.
    struct stat status {
    };
    if (::fstat(file_, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        Close();
        return false;
    }
    // CreateFileMappingW and MapViewOfFile, read-only, the whole file.
    void* view = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, file_, 0);
    if (view == MAP_FAILED) {
        Close();
        return false;
    }
    ::madvise(view, static_cast<std::size_t>(status.st_size), MADV_RANDOM);
    view_ = static_cast<const std::uint8_t*>(view);
    size_ = static_cast<std::size_t>(status.st_size);
    return true;
}

void WorkbookMapping::Close()
{
    if (view_)
        ::munmap(const_cast<std::uint8_t*>(view_), size_);
    view_ = nullptr;
    size_ = 0;
    if (file_ >= 0)
        ::close(file_);
    file_ = -1;
}

} // namespace spreadsheet
