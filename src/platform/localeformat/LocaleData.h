#pragma once

// What the locale formatting needs to know of a locale, read from ICU once
// per locale name and kept for the run.

#include <array>
#include <string>

namespace platform {

struct LocaleData {
    std::array<std::u16string, 12> Months;
    std::array<std::u16string, 12> ShortMonths;
    std::array<std::u16string, 7> Days; // Sunday first
    std::array<std::u16string, 7> ShortDays;
    std::u16string AmMarker;
    std::u16string PmMarker;
    // In the picture syntax of GetDateFormatW and GetTimeFormatW.
    std::u16string ShortDatePicture;
};

// The data of an ICU locale id (from ResolveLocale).
const LocaleData& LocaleDataFor(const std::string& icuLocaleId);

// Converts an ICU date or time pattern to the picture syntax.
std::u16string PictureFromIcuPattern(const std::u16string& pattern);

} // namespace platform
