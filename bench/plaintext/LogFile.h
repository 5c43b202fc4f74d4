#pragma once

// A generated log file of plain text: the same bytes on every run.

#include <filesystem>

namespace bench {

inline constexpr int kLogLines = 20000;

// Writes `lines` log lines to `path`; false when the file cannot be written.
bool WriteLogFile(const std::filesystem::path& path, int lines = kLogLines);

} // namespace bench
