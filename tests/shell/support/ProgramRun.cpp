#include "ProgramRun.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

std::string ReadFileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

ProgramOutcome RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::map<std::string, std::string>& environment, const std::filesystem::path& directory,
    const std::filesystem::path& input)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!environment.contains(text.substr(0, text.find('='))) && !text.starts_with("PLOTWISE_"))
            entries.push_back(text);
    }
    for (const auto& [name, value] : environment)
        entries.push_back(name + "=" + value);

    std::vector<char*> argv { const_cast<char*>(program.c_str()) };
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : entries)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const std::filesystem::path outPath = directory / "stdout";
    const std::filesystem::path errPath = directory / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty())
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    ProgramOutcome outcome;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return outcome;
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    if (WIFEXITED(waitStatus))
        outcome.status = WEXITSTATUS(waitStatus);
    outcome.out = ReadFileText(outPath);
    outcome.err = ReadFileText(errPath);
    return outcome;
}

} // namespace testsupport
