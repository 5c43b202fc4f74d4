#include "FileTimeConversion.h"

#include <chrono>
#include <ctime>
#include <limits>

namespace platform {

namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// 1601-01-01 was a Monday.
constexpr int kFirstDayOfWeek = 1;
constexpr int kLastSystemTimeYear = 30827;

} // namespace

int FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localTime)
{
    if (fileTime == nullptr || localTime == nullptr) {
        return 0;
    }
    const std::uint64_t ticks = FileTimeTicks(*fileTime);
    const std::int64_t unixSeconds = static_cast<std::int64_t>(ticks / kFileTimeTicksPerSecond)
        - static_cast<std::int64_t>(kUnixEpochInFileTimeSeconds);
    if (unixSeconds < std::numeric_limits<std::time_t>::min()
        || unixSeconds > std::numeric_limits<std::time_t>::max()) {
        return 0;
    }
    // The zone is read again on every call, so a change of TZ counts at once.
    tzset();
    const std::time_t moment = static_cast<std::time_t>(unixSeconds);
    std::tm local {};
    if (localtime_r(&moment, &local) == nullptr) {
        return 0;
    }
    const std::int64_t offsetTicks
        = static_cast<std::int64_t>(local.tm_gmtoff) * static_cast<std::int64_t>(kFileTimeTicksPerSecond);
    if ((offsetTicks < 0 && ticks < static_cast<std::uint64_t>(-offsetTicks))
        || (offsetTicks > 0
            && ticks > std::numeric_limits<std::uint64_t>::max() - static_cast<std::uint64_t>(offsetTicks))) {
        return 0;
    }
    *localTime = FileTimeFromTicks(ticks + static_cast<std::uint64_t>(offsetTicks));
    return 1;
}

int FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime)
{
    if (fileTime == nullptr || systemTime == nullptr) {
        return 0;
    }
    const std::uint64_t ticks = FileTimeTicks(*fileTime);
    const std::int64_t totalSeconds = static_cast<std::int64_t>(ticks / kFileTimeTicksPerSecond);
    const std::int64_t days = totalSeconds / kSecondsPerDay;
    const std::int64_t secondOfDay = totalSeconds % kSecondsPerDay;
    const std::chrono::sys_days firstDay = std::chrono::sys_days(std::chrono::year(1601) / 1 / 1);
    const std::chrono::sys_days lastDay
        = std::chrono::sys_days(std::chrono::year(kLastSystemTimeYear) / std::chrono::December / 31);
    // Checked before the calendar conversion, whose years end at 32767.
    if (days > (lastDay - firstDay).count()) {
        return 0;
    }
    const std::chrono::year_month_day date { firstDay + std::chrono::days(days) };
    const int year = static_cast<int>(date.year());
    systemTime->wYear = static_cast<std::uint16_t>(year);
    systemTime->wMonth = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    systemTime->wDay = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    systemTime->wDayOfWeek = static_cast<std::uint16_t>((days + kFirstDayOfWeek) % 7);
    systemTime->wHour = static_cast<std::uint16_t>(secondOfDay / 3600);
    systemTime->wMinute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
    systemTime->wSecond = static_cast<std::uint16_t>(secondOfDay % 60);
    systemTime->wMilliseconds = static_cast<std::uint16_t>(ticks / kTicksPerMillisecond % 1000);
    return 1;
}

} // namespace platform
