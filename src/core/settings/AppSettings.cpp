#include "AppSettings.h"

namespace core {
namespace {

AppSettings settings;
RunOptions options;

} // namespace

AppSettings& Settings()
{
    return settings;
}

RunOptions& Options()
{
    return options;
}

void ResetAppSettings()
{
    settings = AppSettings {};
}

void ResetRunOptions()
{
    options = RunOptions {};
}

bool HasCommandLineFile()
{
    return !options.CommandLineFile.empty();
}

const char16_t* CommandLineFileName()
{
    return options.CommandLineFile.empty() ? nullptr : options.CommandLineFile.data();
}

} // namespace core
