#pragma once

// The identifiers of languages, locales and locale fields, with the values
// the rest of the program and its stored data use.

#include <cstdint>

namespace platform {

using LANGID = std::uint16_t;
using LCID = std::uint32_t;
using LCTYPE = std::uint32_t;

inline constexpr LANGID kLangIdUsEnglish = 0x0409;
inline constexpr LANGID kSubLangDefault = 0x0400;
inline constexpr LANGID kPrimaryLanguageMask = 0x03FF;

constexpr LANGID PRIMARYLANGID(LANGID langId)
{
    return static_cast<LANGID>(langId & kPrimaryLanguageMask);
}

// Both stand for the locale of the environment (see PosixLocale.h).
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

inline constexpr LCTYPE LOCALE_IMEASURE = 0x0D;
inline constexpr LCTYPE LOCALE_SDECIMAL = 0x0E;
inline constexpr LCTYPE LOCALE_STHOUSAND = 0x0F;
inline constexpr LCTYPE LOCALE_SCURRENCY = 0x14;

} // namespace platform
