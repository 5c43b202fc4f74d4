#include "LocaleData.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

namespace platform {
namespace {

std::u16string ToU16(const icu::UnicodeString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.getBuffer()), static_cast<std::size_t>(text.length()));
}

// Narrow and ordinary no-break spaces in ICU patterns print as spaces here,
// as they do in the platform's own patterns.
std::u16string PlainSpaces(std::u16string text)
{
    for (char16_t& unit : text) {
        if (unit == u'\u202F' || unit == u'\u00A0')
            unit = u' ';
    }
    return text;
}

std::u16string IcuPattern(icu::DateFormat* format)
{
    std::unique_ptr<icu::DateFormat> owned(format);
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(owned.get());
    if (!simple)
        return {};
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return ToU16(pattern);
}

void ReadNames(const icu::Locale& locale, LocaleData& data)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(locale, status);
    if (U_FAILURE(status))
        return;
    auto copy = [](const icu::UnicodeString* names, int32_t count, auto& into, int32_t first) {
        for (std::size_t i = 0; i < into.size(); ++i) {
            const int32_t at = first + static_cast<int32_t>(i);
            if (names && at < count)
                into[i] = ToU16(names[at]);
        }
    };
    int32_t count = 0;
    const icu::UnicodeString* names
        = symbols.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    copy(names, count, data.Months, 0);
    names = symbols.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::ABBREVIATED);
    copy(names, count, data.ShortMonths, 0);
    // ICU's weekday arrays start with an empty entry; Sunday is 1.
    names = symbols.getWeekdays(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    copy(names, count, data.Days, 1);
    names = symbols.getWeekdays(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::ABBREVIATED);
    copy(names, count, data.ShortDays, 1);
    names = symbols.getAmPmStrings(count);
    if (names && count >= 2) {
        data.AmMarker = ToU16(names[0]);
        data.PmMarker = ToU16(names[1]);
    }
}

LocaleData ReadLocale(const std::string& name)
{
    icu::Locale locale(name.c_str());
    LocaleData data;
    ReadNames(locale, data);
    data.ShortDatePicture = PlainSpaces(
        PictureFromIcuPattern(IcuPattern(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale))));
    return data;
}

} // namespace

const LocaleData& LocaleDataFor(const std::string& icuLocaleId)
{
    static std::map<std::string, LocaleData> cache;
    const std::string& name = icuLocaleId;
    auto found = cache.find(name);
    if (found == cache.end())
        found = cache.emplace(name, ReadLocale(name)).first;
    return found->second;
}

std::u16string PictureFromIcuPattern(const std::u16string& pattern)
{
    std::u16string picture;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i];
        if (c == u'\'') {
            // Quoted text has the same form in both syntaxes.
            std::size_t end = i + 1;
            while (end < pattern.size()) {
                if (pattern[end] == u'\'') {
                    if (end + 1 < pattern.size() && pattern[end + 1] == u'\'') {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            picture.append(pattern, i, std::min(end + 1, pattern.size()) - i);
            i = end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        i += run;
        switch (c) {
        case u'y':
        case u'u':
            picture += run == 2 ? u"yy" : u"yyyy";
            break;
        case u'M':
        case u'L':
            picture.append(std::min<std::size_t>(run, 4), u'M');
            break;
        case u'd':
            picture.append(std::min<std::size_t>(run, 2), u'd');
            break;
        case u'E':
        case u'c':
        case u'e':
            picture += run <= 3 ? u"ddd" : u"dddd";
            break;
        case u'h':
        case u'K':
            picture.append(std::min<std::size_t>(run, 2), u'h');
            break;
        case u'H':
        case u'k':
            picture.append(std::min<std::size_t>(run, 2), u'H');
            break;
        case u'm':
        case u's':
            picture.append(std::min<std::size_t>(run, 2), c);
            break;
        case u'a':
        case u'b':
        case u'B':
            picture += u"tt";
            break;
        default:
            if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
                break; // eras, zones and other fields the pictures do not have
            picture.append(run, c);
            break;
        }
    }
    return picture;
}

} // namespace platform
