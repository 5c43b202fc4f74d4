#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The file-system path of a path as the program holds it: UTF-16 to UTF-8,
// and a backslash is a directory separator, because a file name on the
// command line cannot contain "/" (so "docs\a.txt" names docs/a.txt).
// Empty for an empty path, one with a zero unit, one longer than 32767
// units or one that is not valid UTF-16.
std::optional<std::string> FileSystemPath(std::u16string_view path);

// Why a file cannot be opened for reading, as the file system tells it.
enum class FileProblem { None, NotFound, Folder, NotPermitted, NotRegular };
FileProblem DiagnoseFile(std::u16string_view path);

} // namespace platform
