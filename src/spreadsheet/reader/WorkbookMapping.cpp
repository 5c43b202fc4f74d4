#include "WorkbookMapping.h"

#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spreadsheet {
namespace {

std::string ToFileSystemPath(const char16_t* path)
{
    std::string out;
    for (const char16_t* p = path; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

bool WorkbookMapping::Open(const char16_t* path)
{
    Close();
    if (!path)
        return false;
    // CreateFileForMappingW: read access, open existing.
    file_ = ::open(ToFileSystemPath(path).c_str(), O_RDONLY | O_CLOEXEC);
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
