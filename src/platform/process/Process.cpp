#include "Process.h"

#include "Module.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::u16string_view kHelpViewer = u"peghelp";
constexpr std::u16string_view kFileScheme = u"file:";
constexpr const char* kWebPageViewer = "xdg-open";

ProcessStarter& Starter()
{
    static ProcessStarter starter;
    return starter;
}

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// "file:NAME.htm#ANCHOR" as the address of the page in the help folder. A
// page name that would leave the folder is refused.
std::string HelpPageAddress(std::u16string_view commandLine)
{
    if (commandLine.substr(0, kFileScheme.size()) != kFileScheme)
        return {};
    std::string page = ToUtf8(commandLine.substr(kFileScheme.size()));
    std::string anchor;
    if (size_t hash = page.find('#'); hash != std::string::npos) {
        anchor = page.substr(hash);
        page.resize(hash);
    }
    if (page.empty() || page.find('/') != std::string::npos || page == "." || page == "..")
        return {};
    std::filesystem::path file = ProgramDataDirectory() / "help" / page;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return {};
    return "file://" + std::filesystem::absolute(file, error).string() + anchor;
}

// Runs program with one argument, detached: a child starts it in a
// grandchild and ends at once, so nothing is left to wait for.
bool StartDetached(const char* program, const std::string& argument)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            execlp(program, program, argument.c_str(), static_cast<char*>(nullptr));
            // The exec failed: tell the first process through the pipe.
            char failed = 1;
            (void)!write(report[1], &failed, 1);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    // The pipe closes without a byte when the exec succeeded.
    char failed = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &failed, 1);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

} // namespace

bool CreateProcessW(std::u16string_view application, std::u16string_view commandLine)
{
    if (Starter())
        return Starter()(application, commandLine);
    if (application != kHelpViewer)
        return false;
    std::string address = HelpPageAddress(commandLine);
    return !address.empty() && StartDetached(kWebPageViewer, address);
}

void SetProcessStarter(ProcessStarter starter)
{
    Starter() = std::move(starter);
}

} // namespace platform
