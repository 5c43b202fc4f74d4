#include "LocaleFormat.h"

#include <cmath>

namespace platform {
namespace {

// OLE dates run from 1 January 100 to 31 December 9999.
constexpr double kFirstVariantDate = -657434.0;
constexpr double kLastVariantDate = 2958466.0;
constexpr long long kSecondsPerDay = 86400;
// Days from 1 March of year 0 (proleptic Gregorian) to 30 December 1899.
constexpr long long kEpochFromCivilZero = 693899;

} // namespace

int VariantTimeToSystemTime(double value, SYSTEMTIME* time)
{
    if (!time || !std::isfinite(value) || value <= kFirstVariantDate - 1.0 || value >= kLastVariantDate)
        return 0;
    // The whole part counts days; the fraction is the time of that day, for
    // negative values too (-1.25 is 29 December 1899, 06:00).
    double whole = std::trunc(value);
    long long seconds = std::llround(std::fabs(value - whole) * static_cast<double>(kSecondsPerDay));
    long long days = static_cast<long long>(whole);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        days += 1;
    }
    // Civil date from a day count (Howard Hinnant's algorithm), with days
    // counted from 1 March of year 0.
    long long z = days + kEpochFromCivilZero;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthPart = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * monthPart + 2) / 5 + 1;
    const long long month = monthPart < 10 ? monthPart + 3 : monthPart - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 100 || year > 9999)
        return 0;
    // 30 December 1899 was a Saturday.
    const long long weekday = ((days % 7) + 7 + 6) % 7;

    time->wYear = static_cast<std::uint16_t>(year);
    time->wMonth = static_cast<std::uint16_t>(month);
    time->wDay = static_cast<std::uint16_t>(day);
    time->wDayOfWeek = static_cast<std::uint16_t>(weekday);
    time->wHour = static_cast<std::uint16_t>(seconds / 3600);
    time->wMinute = static_cast<std::uint16_t>(seconds / 60 % 60);
    time->wSecond = static_cast<std::uint16_t>(seconds % 60);
    time->wMilliseconds = 0;
    return 1;
}

} // namespace platform
