#pragma once

// Runs a program as a child process the way a user would, for the benchmarks
// that measure the whole program: its exit status, the most memory it held and
// the pages of the PDF it wrote.

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct ChildResult {
    int Status = -1; // the exit code, or -1 when the child did not exit normally
    long PeakKilobytes = 0; // the child's maximum resident set
    double CpuMilliseconds = 0; // the child's user and system time
};

// Runs a shell command line and waits for it, with the resources it used.
ChildResult RunProcess(const std::string& commandLine);

// Runs a program directly, without a shell, with one more environment
// variable set (when name is not empty), and waits for it: for benchmarks
// where a shell's own start would show in the time.
ChildResult RunProgram(
    const std::vector<std::string>& arguments, const std::string& name = {}, const std::string& value = {});

// The number of pages in a PDF file; 0 when it cannot be read.
int CountPdfPages(const std::filesystem::path& pdf);

// A path quoted for the shell (paths made by the benchmarks have no quotes).
std::string Quote(const std::filesystem::path& path);

} // namespace bench
