#pragma once

// The number-format tables: precision patterns, the built-in format
// strings 0 to 31, the locale variant strings looked up by number, and the
// colour names of the colour override.

#include <array>
#include <cstdint>

namespace spreadsheet {

inline constexpr int kMaxPrecision = 15;

inline constexpr std::array<const char*, kMaxPrecision + 1> kPrecisionPatterns { "%.0f", "%.1f", "%.2f", "%.3f", "%.4f",
    "%.5f", "%.6f", "%.7f", "%.8f", "%.9f", "%.10f", "%.11f", "%.12f", "%.13f", "%.14f", "%.15f" };

// Number 0 is "General"; 1 to 31 are the built-in strings.
inline constexpr std::array<const char16_t*, 32> kBuiltInFormats {
    u"General",
    u"0.00",
    u"0.00_);(0.00)",
    u"#,##0.00",
    u"#,##0.00;(#,##0.00)",
    u"#,##0",
    u"#,##0;(#,##0)",
    u"0",
    u"0_);(0)",
    u"$#,##0.00",
    u"$#,##0.00;($#,##0.00)",
    u"$#,##0",
    u"$#,##0;($#,##0)",
    u"_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"??_);_(@_)",
    u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)",
    u"_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)",
    u"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)",
    u"M/d",
    u"M/d/yy",
    u"MM/dd/yy",
    u"d-MMM",
    u"d-MMM-yy",
    u"dd-MMM-yy",
    u"MMM-yy",
    u"MMMM-yy",
    u"MMMM d, yyyy",
    u"M/d/yy h:mm tt",
    u"M/d/yy H:mm",
    u"h:mm tt",
    u"H:mm",
    u"h:mm:ss tt",
    u"H:mm:ss",
};

struct LocaleVariantFormat {
    std::uint16_t Number;
    const char16_t* Format;
};

inline constexpr std::array<LocaleVariantFormat, 38> kLocaleVariantFormats { {
    { 42, u"MM.dd.yyyy" },
    { 43, u"yyyy\u5E74m\u6708d\u65E5" },
    { 44, u"yyyy\u5E74m\u6708d\u65E5" },
    { 45, u"yyyy\u5E74m\u6708" },
    { 46, u"m\u6708d\u65E5" },
    { 47, u"yyyy/M/dd" },
    { 48, u"yyyy/M/d h:mm tt" },
    { 49, u"yyyy/M/dd hh:mm" },
    { 53, u"d.M" },
    { 54, u"d.M.yy" },
    { 55, u"dd.MM.yy" },
    { 56, u"d.MMM" },
    { 57, u"d. MMM yy" },
    { 58, u"dd. MMM yy" },
    { 59, u"MMM yy" },
    { 60, u"MMMM yy" },
    { 61, u"d. MMMM yyyy" },
    { 62, u"d.M.yy h:mm tt" },
    { 63, u"d.M.yy h:mm" },
    { 64, u"dd MM yy" },
    { 65, u"d/M" },
    { 66, u"d/M/yy" },
    { 67, u"dd/MM/yy" },
    { 68, u"d MMMM yyyy" },
    { 69, u"d/M/yy h:mm tt" },
    { 70, u"d/M/yy h:mm" },
    { 71, u"d\" de \"MMMM\" de \"yyyy" },
    { 109, u"MMMM-yy" },
    { 122, u"dd-MM-yy" },
    { 125, u"yyyy-MM-dd" },
    { 133, u"dd.MM.yyyy" },
    { 138, u"hh:mm" },
    { 143, u"dd/MM/yyyy h:mm tt" },
    { 156, u"\"kl \"hh:mm" },
    { 157, u"\"kl \"hh:mm:ss" },
    { 228, u"mm:ss" },
    { 230, u"M/d/yyyy" },
    { 231, u"M/d/yyyy h:mm:ss tt" },
} };

// Colour names of the override, by index; the index is also the palette
// index of the cell drawing.
inline constexpr std::array<const char16_t*, 8> kColorNames { u"Black", u"White", u"Red", u"Green", u"Blue", u"Yellow",
    u"Magenta", u"Cyan" };

} // namespace spreadsheet
