#include "CellValueFormat.h"
#include "LocaleFormat.h"
#include "NumberFormatTables.h"
#include "PxlWorkbook.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace spreadsheet {
namespace {

constexpr std::uint16_t kPercentTwoDecimals = 32;
constexpr std::uint16_t kPercentNoDecimals = 33;
constexpr std::uint16_t kFractionNine = 34;
constexpr std::uint16_t kFractionNinetyNine = 35;
constexpr std::uint16_t kFractionNineHundred = 36;
constexpr std::uint16_t kMinutesSeconds = 40;
constexpr std::uint16_t kElapsedHours = 41;
constexpr std::uint16_t kFirstFixed = 32;
constexpr std::uint16_t kLastFixed = 41;
constexpr std::uint16_t kLastBuiltIn = 31;

FitCharacters cellTextMeasure = nullptr;
int colorOverride = 0;

// Fixed renderings: true when `out` holds the text, false for the General
// rule (formats 37 to 39, and a time that cannot be converted).
bool FixedRendering(CellText& out, double value, std::uint16_t number)
{
    char text[64];
    platform::SYSTEMTIME time;
    switch (number) {
    case kPercentTwoDecimals:
        FormatPercent(out, value, 2, 0);
        return true;
    case kPercentNoDecimals:
        FormatPercent(out, value, 0, 0);
        return true;
    case kFractionNine:
        FormatFraction(out, value, 9);
        return true;
    case kFractionNinetyNine:
        FormatFraction(out, value, 99);
        return true;
    case kFractionNineHundred:
        FormatFraction(out, value, 999);
        return true;
    case kMinutesSeconds:
        if (!platform::VariantTimeToSystemTime(value, &time))
            return false;
        std::snprintf(text, sizeof text, "%d:%02d.%02d", time.wMinute, time.wSecond, time.wMilliseconds);
        out.AppendAscii(text);
        return true;
    case kElapsedHours:
        if (!platform::VariantTimeToSystemTime(value, &time))
            return false;
        std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(std::trunc(value)) * 24 + time.wHour,
            time.wMinute, time.wSecond);
        out.AppendAscii(text);
        return true;
    default:
        return false;
    }
}

const char16_t* LocaleVariant(std::uint16_t number)
{
    for (const LocaleVariantFormat& variant : kLocaleVariantFormats) {
        if (variant.Number == number)
            return variant.Format;
    }
    return nullptr;
}

} // namespace

void SetCellTextMeasure(FitCharacters measure)
{
    cellTextMeasure = measure;
}

int FitInWidth(std::u16string_view text, int maxWidth)
{
    const int count = static_cast<int>(text.size());
    if (!cellTextMeasure)
        return count;
    return std::clamp(cellTextMeasure(text.data(), count, maxWidth), 0, count);
}

int& ColorOverride()
{
    return colorOverride;
}

void FormatNumberCell(double value, std::uint16_t& formatNumber, const CellRect& rect, CellText& out)
{
    out.Clear();
    const int width = rect.right - rect.left;
    // The number is signed: values from 0x8000 count as "0 or less".
    const auto number = static_cast<std::int16_t>(formatNumber);
    bool general = number <= 0 || !std::isfinite(value);
    if (!general && number >= kFirstFixed && number <= kLastFixed) {
        general = !FixedRendering(out, value, formatNumber);
    } else if (!general) {
        std::u16string custom;
        const char16_t* format = nullptr;
        if (number <= kLastBuiltIn)
            format = kBuiltInFormats[static_cast<std::size_t>(number)];
        else
            format = LocaleVariant(formatNumber);
        if (!format && formatNumber >= kFirstCustomNumberFormat
            && formatNumber - kFirstCustomNumberFormat < Workbook().NumberFormatCount) {
            custom = NumberFormatText(formatNumber);
            // An empty custom format has nothing to apply; it prints as General.
            if (!custom.empty())
                format = custom.c_str();
        }
        if (!format || ApplyFormatString(out, value, format, std::char_traits<char16_t>::length(format)) == 0) {
            formatNumber = 0;
            general = true;
        }
    }
    if (general) {
        out.Clear();
        FormatGeneral(out, value, width);
    }
    if (out.Length() == 0)
        return;
    const std::size_t length = out.Length();
    // A text cut off at the capacity cannot fit any cell: it shows as "#".
    if (out.Overflowed() || FitInWidth(out.View(), width) < static_cast<int>(length)) {
        std::u16string hashes(length, u'#');
        out.Clear();
        out.Append(std::u16string_view(hashes).substr(0, static_cast<std::size_t>(FitInWidth(hashes, width))));
    }
}

} // namespace spreadsheet
