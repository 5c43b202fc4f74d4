#pragma once

// Locale formatting of dates, times and amounts in the platform's published
// form: GetDateFormatW and GetTimeFormatW with picture strings,
// GetCurrencyFormatW with a CURRENCYFMTW, and VariantTimeToSystemTime for
// OLE dates.
//
// LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT and 0 stand for the user's
// POSIX locale (LC_ALL, else LC_TIME, else LANG; see PosixLocale.h) for
// dates and times; another identifier names its own locale. Month and day
// names, clock markers and the short date pattern come from ICU for that
// locale. The environment is read on every call, so a change of locale takes
// effect at once.
//
// Functions return the number of UTF-16 units written including the
// terminating NUL, or 0 on failure (an invalid date or time, a malformed
// number, a buffer too small). With a buffer size of 0 they return the size
// needed.

#include "LocaleTypes.h"

#include <cstdint>

namespace platform {

struct SYSTEMTIME {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// The GetDateFormatW flag of the locale's short date, used when there is no
// picture (the default).
inline constexpr std::uint32_t DATE_SHORTDATE = 0x1;

struct CURRENCYFMTW {
    std::uint32_t NumDigits = 0;
    std::uint32_t LeadingZero = 0;
    std::uint32_t Grouping = 0; // 0 none, 3 thousands, 32 three then twos
    const char16_t* lpDecimalSep = nullptr;
    const char16_t* lpThousandSep = nullptr;
    std::uint32_t NegativeOrder = 0; // 0..15
    std::uint32_t PositiveOrder = 0; // 0..3
    const char16_t* lpCurrencySymbol = nullptr;
};

// Picture elements: d dd ddd dddd, M MM MMM MMMM, y yy yyyy, 'quoted text';
// every other character is copied. A null picture uses the locale's short
// date. A null time fails.
int GetDateFormatW(
    LCID locale, std::uint32_t flags, const SYSTEMTIME* time, const char16_t* format, char16_t* buffer, int size);

// Picture elements: h hh H HH, m mm, s ss, t tt, 'quoted text'; every other
// character is copied. The flags are accepted and ignored; a null picture or
// a null time fails.
int GetTimeFormatW(
    LCID locale, std::uint32_t flags, const SYSTEMTIME* time, const char16_t* format, char16_t* buffer, int size);

// `value`: an optional "-", decimal digits, optionally "." and more digits;
// nothing else. Rounded half away from zero to NumDigits decimals. The
// caller gives the format, its separators and symbol; a null format fails.
int GetCurrencyFormatW(
    LCID locale, std::uint32_t flags, const char16_t* value, const CURRENCYFMTW* format, char16_t* buffer, int size);

// An OLE date (days since 30 December 1899, time as the fraction; for
// negative values the fraction counts forward from the day) to a calendar
// date and time, rounded to the nearest second; milliseconds are 0. 0 when
// the value lies outside the years 100 to 9999 or is not a number.
int VariantTimeToSystemTime(double value, SYSTEMTIME* time);

} // namespace platform
