#include "ProcessRun.h"

#include <fstream>
#include <iterator>
#include <regex>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

ChildResult RunProcess(const std::string& commandLine)
{
    ChildResult result;
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0)
        return result;
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) == child) {
        result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.PeakKilobytes = usage.ru_maxrss;
    }
    return result;
}

bool OnPath(const char* program)
{
    return RunProcess(std::string("command -v ") + program + " >/dev/null 2>&1").Status == 0;
}

int CountPdfPages(const std::filesystem::path& pdf)
{
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(
        std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()));
}

std::string Quote(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

} // namespace bench
