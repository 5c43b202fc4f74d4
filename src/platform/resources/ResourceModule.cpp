#include "ResourceModule.h"

#include "LanguageId.h"
#include "StringIds.h"
#include "StringTable.h"

#include <cstdio>

namespace platform {
namespace {

// "%04x" of an identifier below 0x10000 and the suffix fit easily.
constexpr std::size_t kMaxLanguageSuffix = 16;

std::string HexName(std::string_view base, const char* format, unsigned value)
{
    char digits[kMaxLanguageSuffix] = {};
    std::snprintf(digits, sizeof digits, format, value);
    return std::string(base) + digits + kSharedLibrarySuffix;
}

} // namespace

std::array<std::string, 3> LanguageLibraryNames(std::string_view base, unsigned langId)
{
    return {
        HexName(base, "%04x", langId & 0xFFFF),
        HexName(base, "%02x", langId & kPrimaryLanguageMask),
        std::string(base) + kSharedLibrarySuffix,
    };
}

ModuleHandle ChooseResourceModule(std::string_view base, std::u16string_view identity, ModuleHandle fallback)
{
    for (const std::string& name : LanguageLibraryNames(base, GetSystemDefaultLangID())) {
        ModuleHandle library = LoadLibraryW(name);
        if (library == nullptr)
            continue;
        std::u16string_view text = LoadStringW(library, kStrLanguageIdentity);
        if (text.empty())
            text = LoadStringW(fallback, kStrLanguageIdentity);
        // The stored text is compared up to its terminator.
        if (!text.empty() && std::u16string_view(text.data()) == identity)
            return library;
        FreeLibrary(library);
    }
    return fallback;
}

} // namespace platform
