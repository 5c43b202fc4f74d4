#pragma once

// Runs a program as a separate process, the way a caller would start it, and
// gives back its exit status and what it wrote.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramOutcome {
    int status = -1; // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `arguments`. It sees this process's environment less
// any PLOTWISE_ variable, with `environment` set over it; its standard output
// and error go through files in `directory`, its standard input comes from
// `input` when one is named.
ProgramOutcome RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::map<std::string, std::string>& environment, const std::filesystem::path& directory,
    const std::filesystem::path& input = {});

std::string ReadFileText(const std::filesystem::path& path);

} // namespace testsupport
