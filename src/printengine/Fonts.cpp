#include "Fonts.h"

#include "PrintJob.h"
#include "SystemLocale.h"
#include "Units.h"

#include <CharsetCodePages.h>
#include <PrintingLibrary.h>

#include <cstring>
#include <memory>
#include <new>
#include <optional>

namespace printengine {
namespace {

struct FontCacheEntry {
    FontCacheEntry* Next = nullptr;
    HFONT Font = nullptr;
    CharFormat Format;
    std::int16_t Charset = 0;
};

CodePageState codePages;
FontCacheEntry* fontCache = nullptr; // newest first
HFONT lastRealizedFont = nullptr;

constexpr std::int32_t kWeightBold = FW_SEMIBOLD;
constexpr std::int32_t kWeightNormal = FW_NORMAL;
constexpr std::uint8_t kFlagOn = 1;
constexpr std::uint8_t kPitchFlagFixed = 1;
constexpr std::uint8_t kPitchFlagVariable = 2;
constexpr std::uint8_t kTrueTypeFlag = 0x04;
constexpr std::int32_t kTextFaceUnits = 32;
constexpr char16_t kSymbolFace[] = u"Symbol";
constexpr char16_t kSymbolFallbackFace[] = u"Courier New";

std::uint8_t PitchFlag(std::int16_t pitch)
{
    switch (pitch) {
    case kPitchFixed:
        return kPitchFlagFixed;
    case kPitchVariable:
        return kPitchFlagVariable;
    default:
        return 0;
    }
}

// RTF family numbers to the GDI family bits.
std::uint8_t FamilyFlag(std::int16_t family)
{
    switch (family) {
    case kFamilyRoman:
        return 0x10;
    case kFamilySwiss:
        return 0x20;
    case kFamilyModern:
        return 0x30;
    case kFamilyScript:
        return 0x40;
    case kFamilyDecor:
        return 0x50;
    default:
        return 0;
    }
}

bool SameFace(const char16_t* a, const char16_t* b)
{
    std::size_t i = 0;
    for (; a[i] != 0 && b[i] != 0; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return a[i] == b[i];
}

void CopyFace(char16_t (&target)[kFaceNameUnits], const char16_t* source)
{
    std::size_t i = 0;
    for (; i + 1 < kFaceNameUnits && source[i] != 0; ++i)
        target[i] = source[i];
    for (; i < kFaceNameUnits; ++i)
        target[i] = 0;
}

// The face the system really gives for a font, through the screen DC.
bool DeviceHasFace(HFONT font, const char16_t* face)
{
    HDC screen = PLW_GetScreenDC();
    if (screen == nullptr)
        return true; // Nothing to ask: keep the font as made.
    HGDIOBJ previous = PLW_SelectObject(screen, font);
    char16_t realFace[kTextFaceUnits] = {};
    GetTextFaceW(screen, kTextFaceUnits, realFace);
    PLW_SelectObject(screen, previous);
    PLW_ReleaseScreenDC(screen);
    realFace[kTextFaceUnits - 1] = 0;
    return SameFace(realFace, face);
}

} // namespace

CodePageState& CodePages()
{
    return codePages;
}

void ResetCodePageState()
{
    codePages = CodePageState {};
}

std::uint16_t SelectCodePage(std::uint16_t charset)
{
    if (charset == codePages.CurrentCharset)
        return codePages.CurrentCharset;
    codePages.CurrentCharset = charset & 0xFF;
    if (std::optional<std::uint16_t> codePage = platform::CodePageOfCharset(codePages.CurrentCharset)) {
        codePages.CodePage = *codePage;
        return codePages.CurrentCharset;
    }
    codePages.CodePage
        = codePages.DocumentCodePage != kNoDocumentCodePage ? codePages.DocumentCodePage : SystemAnsiCodePage();
    return codePages.CurrentCharset;
}

int RealizeRunFont(TextRun& run)
{
    for (FontCacheEntry* entry = fontCache; entry != nullptr; entry = entry->Next) {
        if (entry->Format == run.Format) {
            run.Font = entry->Font;
            lastRealizedFont = entry->Font;
            SelectCodePage(static_cast<std::uint16_t>(entry->Charset));
            return 1;
        }
    }

    // The Symbol fallback rewrites the entry once; a second pass finds
    // "Courier New", so this loop runs at most twice.
    for (;;) {
        FontTableEntry* entry = FindFontTableEntry(run.Format.FontNumber);
        if (entry == nullptr)
            return 0;
        const std::uint16_t charset = SelectCodePage(static_cast<std::uint16_t>(entry->Charset));

        LOGFONTW font {};
        font.lfHeight = -ScaledHalfPointsToDevice(run.Format.Size);
        font.lfWeight = run.Format.Bold != 0 ? kWeightBold : kWeightNormal;
        font.lfItalic = run.Format.Italic == kFlagOn ? 1 : 0;
        font.lfUnderline = run.Format.Underline == kFlagOn ? 1 : 0;
        font.lfStrikeOut = run.Format.Strike == kFlagOn ? 1 : 0;
        font.lfCharSet = static_cast<std::uint8_t>(charset);
        font.lfPitchAndFamily = PitchFlag(entry->Pitch) | FamilyFlag(entry->Family) | kTrueTypeFlag;
        CopyFace(font.lfFaceName, entry->FaceName);

        HFONT made = CreateFontIndirectW(&font);
        if (made == nullptr)
            return 0;

        if (SameFace(entry->FaceName, kSymbolFace) && !DeviceHasFace(made, kSymbolFace)) {
            DeleteObject(made);
            CopyFace(entry->FaceName, kSymbolFallbackFace);
            entry->Charset = 0;
            continue;
        }

        auto* cached = new (std::nothrow) FontCacheEntry { fontCache, made, run.Format, entry->Charset };
        if (cached == nullptr) {
            DeleteObject(made);
            return 0;
        }
        fontCache = cached;
        run.Font = made;
        lastRealizedFont = made;
        return 1;
    }
}

void FreeFontCache()
{
    while (fontCache != nullptr) {
        FontCacheEntry* next = fontCache->Next;
        if (fontCache->Font != nullptr && PLW_DeleteObject != nullptr)
            DeleteObject(fontCache->Font);
        delete fontCache;
        fontCache = next;
    }
    lastRealizedFont = nullptr;
}

HFONT LastRealizedFont()
{
    return lastRealizedFont;
}

} // namespace printengine
