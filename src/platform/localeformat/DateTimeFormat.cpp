#include "LocaleData.h"
#include "LocaleFormat.h"
#include "LocaleInfo.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace platform {
namespace {

constexpr int kDaysInMonth[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
constexpr std::uint16_t kFirstYear = 1;
constexpr std::uint16_t kLastYear = 9999;

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    return month == 2 && IsLeapYear(year) ? 29 : kDaysInMonth[month - 1];
}

bool ValidDate(const SYSTEMTIME& time)
{
    return time.wYear >= kFirstYear && time.wYear <= kLastYear && time.wMonth >= 1 && time.wMonth <= 12
        && time.wDay >= 1 && time.wDay <= DaysInMonth(time.wYear, time.wMonth);
}

bool ValidTime(const SYSTEMTIME& time)
{
    return time.wHour < 24 && time.wMinute < 60 && time.wSecond < 60 && time.wMilliseconds < 1000;
}

// 0 = Sunday; the day of the week is computed, never taken from the record.
int DayOfWeek(int year, int month, int day)
{
    static constexpr int offsets[12] = { 0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4 };
    if (month < 3)
        year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

void AppendNumber(std::u16string& out, int value, int width)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, value);
    for (const char* p = digits; *p; ++p)
        out.push_back(static_cast<char16_t>(*p));
}

// Copies quoted text starting at the apostrophe at `i`; returns the index
// after it. Two apostrophes stand for one; an unclosed quote runs to the end.
std::size_t AppendQuoted(std::u16string& out, std::u16string_view picture, std::size_t i)
{
    if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
        out.push_back(u'\'');
        return i + 2;
    }
    ++i;
    while (i < picture.size()) {
        if (picture[i] == u'\'') {
            if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                out.push_back(u'\'');
                i += 2;
                continue;
            }
            return i + 1;
        }
        out.push_back(picture[i++]);
    }
    return i;
}

std::size_t RunLength(std::u16string_view picture, std::size_t i)
{
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == picture[i])
        ++run;
    return run;
}

std::u16string DateText(const SYSTEMTIME& time, std::u16string_view picture, const LocaleData& locale)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            i = AppendQuoted(out, picture, i);
            continue;
        }
        if (c != u'd' && c != u'M' && c != u'y' && c != u'g') {
            out.push_back(c);
            ++i;
            continue;
        }
        const std::size_t run = RunLength(picture, i);
        i += run;
        switch (c) {
        case u'd':
            if (run <= 2)
                AppendNumber(out, time.wDay, static_cast<int>(run));
            else
                out += (run == 3 ? locale.ShortDays : locale.Days)[DayOfWeek(time.wYear, time.wMonth, time.wDay)];
            break;
        case u'M':
            if (run <= 2)
                AppendNumber(out, time.wMonth, static_cast<int>(run));
            else
                out += (run == 3 ? locale.ShortMonths : locale.Months)[time.wMonth - 1];
            break;
        case u'y':
            if (run <= 2)
                AppendNumber(out, time.wYear % 100, static_cast<int>(run));
            else
                AppendNumber(out, time.wYear, 4);
            break;
        default:
            break; // the era is not shown
        }
    }
    return out;
}

std::u16string TimeText(const SYSTEMTIME& time, std::u16string_view picture, const LocaleData& locale)
{
    const std::u16string& marker = time.wHour < 12 ? locale.AmMarker : locale.PmMarker;
    std::u16string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            i = AppendQuoted(out, picture, i);
            continue;
        }
        if (c != u'h' && c != u'H' && c != u'm' && c != u's' && c != u't') {
            out.push_back(c);
            ++i;
            continue;
        }
        const int width = RunLength(picture, i) >= 2 ? 2 : 1;
        i += RunLength(picture, i);
        switch (c) {
        case u'h':
            AppendNumber(out, time.wHour % 12 == 0 ? 12 : time.wHour % 12, width);
            break;
        case u'H':
            AppendNumber(out, time.wHour, width);
            break;
        case u'm':
            AppendNumber(out, time.wMinute, width);
            break;
        case u's':
            AppendNumber(out, time.wSecond, width);
            break;
        default:
            if (width == 1)
                out += marker.substr(0, 1);
            else
                out += marker;
            break;
        }
    }
    return out;
}

int Deliver(const std::u16string& text, char16_t* buffer, int size)
{
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (!buffer || size < needed)
        return 0;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return needed;
}

} // namespace

int GetDateFormatW(
    LCID locale, std::uint32_t flags, const SYSTEMTIME* time, const char16_t* format, char16_t* buffer, int size)
{
    if (size < 0 || !time)
        return 0;
    const std::string id = ResolveLocale(locale, LocaleCategory::Time);
    if (!ValidDate(*time) || id.empty())
        return 0;
    const LocaleData& data = LocaleDataFor(id);
    const std::u16string_view picture = format ? std::u16string_view(format) : data.ShortDatePicture;
    return Deliver(DateText(*time, picture, data), buffer, size);
}

int GetTimeFormatW(
    LCID locale, std::uint32_t flags, const SYSTEMTIME* time, const char16_t* format, char16_t* buffer, int size)
{
    if (size < 0 || !time || !format)
        return 0;
    const std::string id = ResolveLocale(locale, LocaleCategory::Time);
    if (!ValidTime(*time) || id.empty())
        return 0;
    return Deliver(TimeText(*time, format, LocaleDataFor(id)), buffer, size);
}

} // namespace platform
