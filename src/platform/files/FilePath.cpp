#include "FilePath.h"

#include <unicode/ustring.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The longest path the program's callers can hold, in UTF-16 units.
constexpr std::size_t kMaxPathLength = 32767;

} // namespace

std::optional<std::string> FileSystemPath(std::u16string_view path)
{
    if (path.empty() || path.size() > kMaxPathLength || path.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    std::u16string separated(path);
    for (char16_t& unit : separated) {
        if (unit == u'\\')
            unit = u'/';
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8(nullptr, 0, &length, separated.data(), static_cast<int32_t>(separated.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return std::nullopt;
    std::string utf8(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(utf8.data(), length, nullptr, separated.data(), static_cast<int32_t>(separated.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return utf8;
}

FileProblem DiagnoseFile(std::u16string_view path)
{
    const std::optional<std::string> name = FileSystemPath(path);
    struct stat status {};
    if (!name || stat(name->c_str(), &status) != 0)
        return name && (errno == EACCES || errno == EPERM) ? FileProblem::NotPermitted : FileProblem::NotFound;
    if (S_ISDIR(status.st_mode))
        return FileProblem::Folder;
    if (!S_ISREG(status.st_mode))
        return FileProblem::NotRegular;
    return access(name->c_str(), R_OK) == 0 ? FileProblem::None : FileProblem::NotPermitted;
}

} // namespace platform
