#pragma once

// The one fontconfig configuration of the process, loaded before the first
// font is matched.
//
// FcInit loads the configuration and then parses every file of
// fontconfig's template folder (conf.avail, some seventy files) as well,
// only to list them for configuration tools: close to half of its time, and
// a sixth of a short print run's. The configuration is therefore loaded here
// as FcInit loads it, less that listing, and made the current one. Where
// FcInit would do something more (no configuration file, a file it cannot
// load, no cache folder, fontconfig's debugging output asked for) it is
// left to FcInit.

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <errno.h>

namespace plotwise {

inline bool LoadFontConfigWithoutTemplates()
{
    if (const char* debug = std::getenv("FC_DEBUG"); debug && *debug)
        return false;
    FcConfig* config = FcConfigCreate();
    if (!config)
        return false;
    FcChar8* file = FcConfigGetFilename(config, nullptr);
    bool loaded = file && FcConfigParseAndLoad(config, nullptr, FcTrue);
    FcStrFree(file);
    if (loaded) {
        FcStrList* cacheDirs = FcConfigGetCacheDirs(config);
        loaded = cacheDirs && FcStrListNext(cacheDirs);
        if (cacheDirs)
            FcStrListDone(cacheDirs);
    }
    loaded = loaded && FcConfigBuildFonts(config) && FcConfigSetCurrent(config);
    // The current configuration holds its own reference.
    FcConfigDestroy(config);
    return loaded;
}

inline void EnsureFontConfig()
{
    static const bool ready = LoadFontConfigWithoutTemplates() || FcInit();
    (void)ready;
}

// What fontconfig's answers depend on besides its files: the environment it
// reads (where its configuration and caches are, the default languages it
// adds to every pattern, the program name a configuration may test) and its
// version. Reads no configuration.
inline std::string FontConfigContext()
{
    static constexpr const char* kVariables[] = { "FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "FC_LANG",
        "LC_ALL", "LC_CTYPE", "LANG", "LANGUAGE", "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME" };
    std::string context = "fontconfig " + std::to_string(FcGetVersion()) + " program " + program_invocation_short_name;
    for (const char* name : kVariables) {
        const char* value = std::getenv(name);
        context += std::string(" ") + name + (value ? "=" + std::string(value) : std::string(" unset"));
    }
    return context;
}

// The paths whose change could change what fontconfig answers: its
// configuration files and their folders, the user's configuration whether
// it exists or not, the font folders and fontconfig's cache folders. Loads
// the configuration.
inline std::vector<std::string> WatchedFontConfigPaths()
{
    EnsureFontConfig();
    std::vector<std::string> paths;
    auto take = [&paths](FcStrList* list, bool withFolder) {
        if (!list)
            return;
        while (FcChar8* item = FcStrListNext(list)) {
            const std::filesystem::path path(reinterpret_cast<const char*>(item));
            paths.push_back(path.string());
            if (withFolder)
                paths.push_back(path.parent_path().string());
        }
        FcStrListDone(list);
    };
    take(FcConfigGetConfigFiles(nullptr), true);
    take(FcConfigGetConfigDirs(nullptr), false);
    take(FcConfigGetFontDirs(nullptr), false);
    take(FcConfigGetCacheDirs(nullptr), false);
    const char* home = std::getenv("HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path user;
    if (config && *config == '/')
        user = std::filesystem::path(config) / "fontconfig";
    else if (home && *home == '/')
        user = std::filesystem::path(home) / ".config" / "fontconfig";
    if (!user.empty()) {
        paths.push_back(user.string());
        for (const char* name : { "fonts.conf", "conf.d" })
            paths.push_back((user / name).string());
    }
    if (home && *home == '/') {
        for (const char* name : { ".fonts.conf", ".fonts.conf.d" })
            paths.push_back((std::filesystem::path(home) / name).string());
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

} // namespace plotwise
