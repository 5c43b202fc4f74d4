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

} // namespace platform
