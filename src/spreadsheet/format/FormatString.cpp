#include "CellValueFormat.h"
#include "LocaleFormat.h"
#include "LocaleInfo.h"
#include "NumberFormatTables.h"
#include "PrintFixed.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace spreadsheet {
namespace {

// GetLocaleInfoW reads each locale string into a buffer this size.
constexpr int kLocaleStringSize = 5;
constexpr int kCurrencyResultSize = 101;
// Serial numbers below 61 count 29 February 1900, which never was.
constexpr double kFirstTrueSerial = 61.0;

// A locale string that does not fit the buffer is taken as empty.
std::u16string LocaleString(platform::LCTYPE type)
{
    char16_t buffer[kLocaleStringSize] = {};
    if (platform::GetLocaleInfoW(platform::LOCALE_USER_DEFAULT, type, buffer, kLocaleStringSize) == 0)
        return {};
    return buffer;
}

bool IsDateTimeLetter(char16_t c)
{
    return c == u'h' || c == u'H' || c == u'M' || c == u'd' || c == u'm' || c == u's' || c == u'y';
}

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// True when `text` at `at` matches `marker` ("am/pm" or "a/p") in any case.
bool MatchesMarker(std::u16string_view text, std::size_t at, std::u16string_view marker)
{
    if (text.size() - at < marker.size())
        return false;
    for (std::size_t i = 0; i < marker.size(); ++i) {
        if (Lower(text[at + i]) != marker[i])
            return false;
    }
    return true;
}

int NumberSection(CellText& out, double value, std::u16string_view section)
{
    NumberSectionFlags flags;
    bool numberEmitted = false;
    std::size_t i = 0;
    const std::size_t n = section.size();
    while (i < n) {
        const char16_t c = section[i];
        switch (c) {
        case u'0':
            flags.Digits = true;
            ++i;
            break;
        case u'#':
            flags.Digits = true;
            for (++i; i < n && (section[i] == u'#' || section[i] == u','); ++i) {
                if (section[i] == u',')
                    flags.Thousands = true;
            }
            break;
        case u'.':
            flags.Digits = true;
            for (++i; i < n && (section[i] == u'0' || section[i] == u'#'); ++i) {
                if (section[i] == u'0')
                    ++flags.Zeros;
                else
                    ++flags.Optional;
            }
            break;
        case u'%':
            flags.Percent = true;
            ++i;
            break;
        case u'(':
        case u')':
            flags.Parentheses = true;
            ++i;
            break;
        case u'?':
            out.Append(u' ');
            ++i;
            break;
        case u' ':
        case u'"':
            if (flags.Digits || flags.Percent) {
                EmitNumber(out, value, flags);
                flags = NumberSectionFlags {};
                numberEmitted = true;
            }
            ++i;
            if (c == u' ') {
                if (numberEmitted)
                    out.Append(u' ');
                break;
            }
            for (; i < n && section[i] != u'"'; ++i) {
                if (section[i] == u'$')
                    flags.Currency = true;
                else
                    out.Append(section[i]);
            }
            ++i;
            break;
        case u'[': {
            const std::size_t close = section.find(u']', i + 1);
            const std::u16string_view name
                = section.substr(i + 1, close == std::u16string_view::npos ? std::u16string_view::npos : close - i - 1);
            for (std::size_t k = 0; k < kColorNames.size(); ++k) {
                if (std::u16string_view(kColorNames[k]).starts_with(name)) {
                    ColorOverride() = static_cast<int>(k);
                    break;
                }
            }
            i = close == std::u16string_view::npos ? n : close + 1;
            break;
        }
        case u'G':
            if (section.substr(i + 1).starts_with(u"eneral"))
                return 0;
            ++i;
            break;
        default:
            ++i;
            break;
        }
    }
    EmitNumber(out, value, flags);
    return 1;
}

int DateTimeSection(CellText& out, double value, std::u16string_view section)
{
    if (value >= 1.0 && value < kFirstTrueSerial)
        value += 1.0;
    platform::SYSTEMTIME time;
    if (!platform::VariantTimeToSystemTime(value, &time))
        return 1;
    if (value >= 0.0 && value < 1.0) {
        time.wYear = 1900;
        time.wMonth = 0;
        time.wDay = 0;
    }

    // The time part starts at the hour token before the first ":" outside
    // quoted text.
    std::size_t timeStart = section.size();
    bool quoted = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        if (section[i] == u'\\') {
            ++i;
            continue;
        }
        if (section[i] == u'"') {
            quoted = !quoted;
        } else if (section[i] == u':' && !quoted) {
            timeStart = i == 0 ? 0 : i - 1;
            if (i >= 2 && section[i - 2] == section[i - 1] && IsAsciiLetter(section[i - 1]))
                timeStart = i - 2;
            break;
        }
    }
    const std::u16string_view datePart = section.substr(0, timeStart);
    const std::u16string_view timePart = section.substr(timeStart);

    std::u16string datePicture;
    quoted = false;
    for (std::size_t i = 0; i < datePart.size(); ++i) {
        char16_t c = datePart[i] == u'm' ? u'M' : datePart[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u'\\') {
            if (i + 1 < datePart.size()) {
                const char16_t next = datePart[++i] == u'm' ? u'M' : datePart[i];
                if (next != u' ')
                    datePicture.push_back(u'\'');
                datePicture.push_back(next);
            }
        } else {
            if (quoted && c != u' ')
                datePicture.push_back(u'\'');
            datePicture.push_back(c);
        }
    }
    if (!datePicture.empty()) {
        const int written
            = platform::GetDateFormatW(0, 0, &time, datePicture.c_str(), out.End(), static_cast<int>(out.Room() + 1));
        if (written > 0)
            out.Advance(static_cast<std::size_t>(written - 1));
    }

    const bool twelveHour = timePart.find_first_of(u"Aa") != std::u16string_view::npos
        || timePart.find(u"tt") != std::u16string_view::npos;
    std::u16string timePicture;
    quoted = false;
    for (std::size_t i = 0; i < timePart.size();) {
        const char16_t c = timePart[i];
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else
                timePicture.push_back(c);
            ++i;
        } else if (c == u'"') {
            quoted = true;
            ++i;
        } else if (c == u'\\') {
            if (i + 1 < timePart.size())
                timePicture.push_back(timePart[i + 1]);
            i += 2;
        } else if (MatchesMarker(timePart, i, u"am/pm")) {
            timePicture += u"tt";
            i += 5;
        } else if (MatchesMarker(timePart, i, u"a/p")) {
            timePicture += u"t";
            i += 3;
        } else {
            timePicture.push_back(c == u'h' && !twelveHour ? u'H' : c);
            ++i;
        }
    }
    if (!timePicture.empty()) {
        const int written
            = platform::GetTimeFormatW(0, 0, &time, timePicture.c_str(), out.End(), static_cast<int>(out.Room() + 1));
        if (written > 0)
            out.Advance(static_cast<std::size_t>(written - 1));
    }
    out.Remove(u'"');
    return 1;
}

} // namespace

void EmitNumber(CellText& out, double value, const NumberSectionFlags& flags)
{
    if (flags.Percent) {
        FormatPercent(out, value, flags.Zeros, flags.Optional);
        return;
    }
    if (!flags.Digits)
        return;
    const std::string text = PrintFixed(value, std::min(flags.Zeros + flags.Optional, kMaxPrecision));
    std::u16string printed(text.begin(), text.end());
    if (printed.find(u'.') != std::u16string::npos) {
        for (int dropped = 0; dropped < flags.Optional && printed.ends_with(u'0'); ++dropped)
            printed.pop_back();
        if (printed.ends_with(u'.'))
            printed.pop_back();
    }

    const std::u16string decimal = LocaleString(platform::LOCALE_SDECIMAL);
    const std::u16string thousand = flags.Thousands ? LocaleString(platform::LOCALE_STHOUSAND) : std::u16string();
    const std::u16string currency = flags.Currency ? LocaleString(platform::LOCALE_SCURRENCY) : std::u16string();
    platform::CURRENCYFMTW format;
    format.NumDigits = static_cast<std::uint32_t>(flags.Zeros);
    format.LeadingZero = 1;
    format.Grouping = flags.Thousands ? 3 : 0;
    format.lpDecimalSep = decimal.c_str();
    format.lpThousandSep = thousand.c_str();
    format.NegativeOrder = flags.Parentheses ? 0 : 1;
    format.PositiveOrder = 0;
    format.lpCurrencySymbol = currency.c_str();
    char16_t result[kCurrencyResultSize];
    if (platform::GetCurrencyFormatW(
            platform::LOCALE_USER_DEFAULT, 0, printed.c_str(), &format, result, kCurrencyResultSize)
        > 0)
        out.Append(std::u16string_view(result));
    else
        out.Append(printed);
}

int ApplyFormatString(CellText& out, double value, const char16_t* format, std::size_t length)
{
    const std::u16string_view text(format, length);
    std::size_t start = 0;
    const std::size_t first = text.find(u';');
    if (value < 0) {
        if (first != std::u16string_view::npos && first + 1 < text.size())
            start = first + 1;
    } else if (value == 0 && first != std::u16string_view::npos) {
        const std::size_t second = text.find(u';', first + 1);
        if (second != std::u16string_view::npos && second + 1 < text.size())
            start = second + 1;
    }
    std::u16string_view section = text.substr(start, text.find(u';', start) - start);

    if (section.starts_with(u'"')) {
        const std::size_t close = section.find(u'"', 1);
        out.Append(section.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1));
        section = close == std::u16string_view::npos ? std::u16string_view() : section.substr(close + 1);
    }
    if (section.starts_with(u'[')) {
        const std::size_t close = section.find(u']');
        section = close == std::u16string_view::npos ? std::u16string_view() : section.substr(close + 1);
    }
    if (section.empty())
        return 1;
    if (IsDateTimeLetter(section[0]))
        return DateTimeSection(out, value, section);
    return NumberSection(out, value, section);
}

} // namespace spreadsheet
