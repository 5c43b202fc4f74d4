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

#include <cstdlib>

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

} // namespace plotwise
