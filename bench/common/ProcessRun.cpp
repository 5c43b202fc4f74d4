#include "ProcessRun.h"

#include <fstream>
#include <iterator>
#include <regex>

#include <cstdlib>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

ChildResult Wait(pid_t child)
{
    ChildResult result;
    if (child < 0)
        return result;
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) == child) {
        result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.PeakKilobytes = usage.ru_maxrss;
        auto milliseconds = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
        result.CpuMilliseconds = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    }
    return result;
}

} // namespace

ChildResult RunProcess(const std::string& commandLine)
{
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return Wait(child);
}

ChildResult RunProgram(const std::vector<std::string>& arguments, const std::string& name, const std::string& value)
{
    if (arguments.empty())
        return {};
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (!name.empty())
            setenv(name.c_str(), value.c_str(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return Wait(child);
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
