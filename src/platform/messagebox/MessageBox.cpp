#include "MessageBox.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <unicode/unistr.h>

namespace platform {
namespace {

MessageBoxHost& Host()
{
    static MessageBoxHost host;
    return host;
}

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

} // namespace

int MessageBoxW(std::u16string_view text, std::u16string_view caption)
{
    if (Host())
        return Host()(text, caption);
    // On standard error a box is a line as every command-line program
    // writes one: the program's name, then the text. The caption names the
    // kind of box, which a line does not need.
    static_cast<void>(caption);
    std::string line = std::string(program_invocation_short_name) + ": " + ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return IDOK;
}

void SetMessageBoxHost(MessageBoxHost host)
{
    Host() = std::move(host);
}

} // namespace platform
