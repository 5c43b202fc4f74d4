// Fuzzes the reading of the cache of font matches: the input as a whole
// file, and sealed with its checksum so that its records are read too.

#include "FontMatchCache.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& file : { text, plotwise::SealFontMatches(text) }) {
        plotwise::FontMatchCache cache({}, "fuzz");
        if (cache.Parse(file))
            cache.Find("sans-serif\x1fweight=80 slant=0");
    }
    return 0;
}
