// Stands in for the settings store until it is built: keeps the last saved
// settings in memory and loads them back the way the store does.
#include "AppSettings.h"
#include "SettingsStore.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace shell
{
namespace
{
std::optional<AppSettings> stored;

// The file named by TALLOWIN_REGISTRY stands for the stored key: removing it
// forgets what was saved.
bool KeyExists()
{
    const char* path = std::getenv("TALLOWIN_REGISTRY");
    return path != nullptr && std::filesystem::exists(path);
}
} // namespace

void LoadSettings()
{
    if (!stored || !KeyExists())
        return;
    std::int32_t viewMode = Settings().ViewMode;
    if (viewMode != Options().StartView)
        Options().StartView = stored->ViewMode;
    Settings() = *stored;
    Settings().ViewMode = viewMode;
}

void SaveSettings()
{
    stored = Settings();
    if (const char* path = std::getenv("TALLOWIN_REGISTRY"))
        std::ofstream(path) << "stored\n";
}

void SetResizeChoice(std::int32_t choice)
{
    Settings().ResizeChoice = choice;
}

} // namespace shell
