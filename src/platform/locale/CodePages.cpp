#include "CodePages.h"

#include "PosixLocale.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace platform {
namespace {

struct CodePageName {
    UINT codePage;
    const char* icuName;
};

// ICU's names of the converters whose tables are the code pages' own
// tables; the plain "windows-936" and "windows-949" aliases are ambiguous
// in ICU and would pick IBM variants.
constexpr std::array kCodePageNames {
    CodePageName { 874, "windows-874-2000" },
    CodePageName { 932, "ibm-943_P15A-2003" },
    CodePageName { 936, "windows-936-2000" },
    CodePageName { 949, "windows-949-2000" },
    CodePageName { 950, "windows-950-2000" },
    CodePageName { 1250, "ibm-5346_P100-1998" },
    CodePageName { 1251, "ibm-5347_P100-1998" },
    CodePageName { 1252, "ibm-5348_P100-1997" },
    CodePageName { 1253, "ibm-5349_P100-1998" },
    CodePageName { 1254, "ibm-5350_P100-1998" },
    CodePageName { 1255, "ibm-9447_P100-2002" },
    CodePageName { 1256, "ibm-9448_X100-2005" },
    CodePageName { 1257, "ibm-9449_P100-2002" },
    CodePageName { 1258, "ibm-5354_P100-1998" },
    CodePageName { CP_UTF8, "UTF-8" },
};

constexpr bool CodePagesSorted()
{
    for (std::size_t i = 1; i < kCodePageNames.size(); ++i) {
        if (kCodePageNames[i - 1].codePage >= kCodePageNames[i].codePage)
            return false;
    }
    return true;
}
static_assert(CodePagesSorted(), "the code page table is searched by binary search");

struct LanguageCodePage {
    LANGID primaryLanguage;
    UINT codePage;
};

// Primary languages whose ANSI code page is not 1252, sorted by language.
// Languages written in more than one script are settled by sub-language in
// AnsiCodePageOfLanguage.
constexpr std::array kLanguageCodePages {
    LanguageCodePage { 0x01, 1256 }, // Arabic
    LanguageCodePage { 0x02, 1251 }, // Bulgarian
    LanguageCodePage { 0x04, 936 }, // Chinese
    LanguageCodePage { 0x05, 1250 }, // Czech
    LanguageCodePage { 0x08, 1253 }, // Greek
    LanguageCodePage { 0x0d, 1255 }, // Hebrew
    LanguageCodePage { 0x0e, 1250 }, // Hungarian
    LanguageCodePage { 0x11, 932 }, // Japanese
    LanguageCodePage { 0x12, 949 }, // Korean
    LanguageCodePage { 0x15, 1250 }, // Polish
    LanguageCodePage { 0x18, 1250 }, // Romanian
    LanguageCodePage { 0x19, 1251 }, // Russian
    LanguageCodePage { 0x1a, 1250 }, // Croatian, Serbian, Bosnian
    LanguageCodePage { 0x1b, 1250 }, // Slovak
    LanguageCodePage { 0x1c, 1250 }, // Albanian
    LanguageCodePage { 0x1e, 874 }, // Thai
    LanguageCodePage { 0x1f, 1254 }, // Turkish
    LanguageCodePage { 0x20, 1256 }, // Urdu
    LanguageCodePage { 0x22, 1251 }, // Ukrainian
    LanguageCodePage { 0x23, 1251 }, // Belarusian
    LanguageCodePage { 0x24, 1250 }, // Slovenian
    LanguageCodePage { 0x25, 1257 }, // Estonian
    LanguageCodePage { 0x26, 1257 }, // Latvian
    LanguageCodePage { 0x27, 1257 }, // Lithuanian
    LanguageCodePage { 0x28, 1251 }, // Tajik
    LanguageCodePage { 0x29, 1256 }, // Persian
    LanguageCodePage { 0x2a, 1258 }, // Vietnamese
    LanguageCodePage { 0x2c, 1254 }, // Azerbaijani
    LanguageCodePage { 0x2f, 1251 }, // Macedonian
    LanguageCodePage { 0x3f, 1251 }, // Kazakh
    LanguageCodePage { 0x40, 1251 }, // Kyrgyz
    LanguageCodePage { 0x43, 1254 }, // Uzbek
    LanguageCodePage { 0x44, 1251 }, // Tatar
    LanguageCodePage { 0x50, 1251 }, // Mongolian
    LanguageCodePage { 0x6d, 1251 }, // Bashkir
    LanguageCodePage { 0x80, 1256 }, // Uyghur
    LanguageCodePage { 0x85, 1251 }, // Yakut
};

constexpr bool LanguagesSorted()
{
    for (std::size_t i = 1; i < kLanguageCodePages.size(); ++i) {
        if (kLanguageCodePages[i - 1].primaryLanguage >= kLanguageCodePages[i].primaryLanguage)
            return false;
    }
    return true;
}
static_assert(LanguagesSorted(), "the language table is searched by binary search");

constexpr UINT kWesternCodePage = 1252;

// Sub-languages written in Cyrillic where the primary language's default
// script is Latin, and Chinese sub-languages written in traditional script.
constexpr std::array kCyrillicLatinLanguages {
    LANGID { 0x0c1a },
    LANGID { 0x1c1a },
    LANGID { 0x201a },
    LANGID { 0x281a },
    LANGID { 0x301a },
    LANGID { 0x6c1a },
    LANGID { 0x082c },
    LANGID { 0x0843 },
};
constexpr std::array kTraditionalChinese { LANGID { 0x0404 }, LANGID { 0x0c04 }, LANGID { 0x1404 }, LANGID { 0x7c04 } };

const CodePageName* FindCodePage(UINT codePage)
{
    auto found = std::lower_bound(kCodePageNames.begin(), kCodePageNames.end(), codePage,
        [](const CodePageName& entry, UINT value) { return entry.codePage < value; });
    if (found == kCodePageNames.end() || found->codePage != codePage)
        return nullptr;
    return &*found;
}

UINT ResolveCodePage(UINT codePage)
{
    return (codePage == CP_ACP || codePage == CP_THREAD_ACP) ? GetACP() : codePage;
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

struct CachedConverter {
    std::unique_ptr<UConverter, ConverterCloser> converter;
    std::array<bool, 256> leadBytes {};
};

// Opens the converter of a supported code page on first use; null when ICU
// lacks its data.
CachedConverter* ConverterFor(UINT codePage)
{
    const CodePageName* name = FindCodePage(codePage);
    if (name == nullptr)
        return nullptr;
    thread_local std::array<CachedConverter, kCodePageNames.size()> cache;
    thread_local std::array<bool, kCodePageNames.size()> tried {};
    std::size_t index = static_cast<std::size_t>(name - kCodePageNames.data());
    CachedConverter& cached = cache[index];
    if (!tried[index]) {
        tried[index] = true;
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(name->icuName, &status));
        if (U_FAILURE(status))
            return nullptr;
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        if (U_FAILURE(status))
            return nullptr;
        if (ucnv_getType(converter.get()) == UCNV_MBCS || ucnv_getType(converter.get()) == UCNV_DBCS) {
            UBool starters[256] = {};
            ucnv_getStarters(converter.get(), starters, &status);
            if (U_SUCCESS(status)) {
                for (std::size_t i = 0; i < cached.leadBytes.size(); ++i)
                    cached.leadBytes[i] = starters[i] != 0;
            }
        }
        cached.converter = std::move(converter);
    }
    return cached.converter ? &cached : nullptr;
}

// Converts into `out`; returns the number of units, or -1 when the bytes
// are not valid in the code page or `out` is too small.
int Convert(UConverter* converter, const char* bytes, int count, char16_t* out, int outSize)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(converter, out, outSize, bytes, count, &status);
    if (status == U_STRING_NOT_TERMINATED_WARNING)
        status = U_ZERO_ERROR;
    return U_FAILURE(status) ? -1 : length;
}

} // namespace

UINT AnsiCodePageOfLanguage(LANGID langId)
{
    LANGID primary = PRIMARYLANGID(langId);
    if (primary == 0x04) {
        bool traditional
            = std::find(kTraditionalChinese.begin(), kTraditionalChinese.end(), langId) != kTraditionalChinese.end();
        return traditional ? 950 : 936;
    }
    if (std::find(kCyrillicLatinLanguages.begin(), kCyrillicLatinLanguages.end(), langId)
        != kCyrillicLatinLanguages.end())
        return 1251;
    auto found = std::lower_bound(kLanguageCodePages.begin(), kLanguageCodePages.end(), primary,
        [](const LanguageCodePage& entry, LANGID value) { return entry.primaryLanguage < value; });
    if (found == kLanguageCodePages.end() || found->primaryLanguage != primary)
        return kWesternCodePage;
    return found->codePage;
}

UINT GetACP()
{
    std::optional<LANGID> langId = LangIdFromLocaleName(PosixLocaleName(LocaleCategory::CharacterType));
    return langId ? AnsiCodePageOfLanguage(*langId) : kWesternCodePage;
}

bool IsValidCodePage(UINT codePage)
{
    return FindCodePage(ResolveCodePage(codePage)) != nullptr;
}

int MultiByteToWideChar(UINT codePage, std::uint32_t flags, const char* bytes, int count, char16_t* out, int outSize)
{
    if (bytes == nullptr || count == 0 || count < -1 || outSize < 0 || (outSize > 0 && out == nullptr))
        return 0;
    CachedConverter* cached = ConverterFor(ResolveCodePage(codePage));
    if (cached == nullptr)
        return 0;
    if (count == -1) {
        std::size_t length = std::strlen(bytes) + 1;
        if (length > static_cast<std::size_t>(INT32_MAX))
            return 0;
        count = static_cast<int>(length);
    }
    if (outSize > 0)
        return std::max(Convert(cached->converter.get(), bytes, count, out, outSize), 0);

    // A size query converts into scratch space: no code page here yields
    // more UTF-16 units than it takes bytes, ICU's own preflight would not
    // report an invalid sequence after the first overflow.
    constexpr int kSmallInput = 64;
    char16_t small[kSmallInput];
    std::u16string large;
    char16_t* scratch = small;
    if (count > kSmallInput) {
        large.resize(static_cast<std::size_t>(count));
        scratch = large.data();
    }
    return std::max(Convert(cached->converter.get(), bytes, count, scratch, std::max(count, kSmallInput)), 0);
}

bool IsDBCSLeadByteEx(UINT codePage, std::uint8_t byte)
{
    CachedConverter* cached = ConverterFor(ResolveCodePage(codePage));
    return cached != nullptr && cached->leadBytes[byte];
}

} // namespace platform
