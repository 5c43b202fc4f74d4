#include "CellValueFormat.h"
#include "NumberFormatTables.h"
#include "PrintFixed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace spreadsheet {
namespace {

// Room for any double printed with up to 15 decimals.
constexpr std::size_t kScratchSize = 400;
constexpr double kFirstBestError = 10000.0;

std::string Print(double value, int places)
{
    return PrintFixed(value, places);
}

// Drops up to `count` trailing "0" characters, then a "." left at the end.
void DropTrailingZeros(std::string& text, std::size_t count)
{
    if (text.find('.') == std::string::npos)
        return;
    while (count > 0 && !text.empty() && text.back() == '0') {
        text.pop_back();
        --count;
    }
    if (!text.empty() && text.back() == '.')
        text.pop_back();
}

std::u16string Widen(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

bool IsWhole32(double value)
{
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()
        && value == static_cast<double>(static_cast<std::int32_t>(value));
}

} // namespace

void FormatGeneral(CellText& out, double value, int width)
{
    if (IsWhole32(value)) {
        out.AppendAscii(Print(value, 0).c_str());
        return;
    }
    std::string text = Print(value, kMaxPrecision);
    const std::size_t point = text.find('.');
    if (point == std::string::npos) {
        out.AppendAscii(text.c_str()); // "inf" or "nan"
        return;
    }
    DropTrailingZeros(text, text.size());
    if (text.size() <= point) {
        out.AppendAscii(Print(value, 0).c_str());
        return;
    }
    const int fit = FitInWidth(Widen(text), width);
    if (fit >= static_cast<int>(text.size())) {
        out.AppendAscii(text.c_str());
        return;
    }
    const int places = std::max(fit - static_cast<int>(point) - 1, 0);
    text = Print(value, places);
    DropTrailingZeros(text, text.size());
    out.AppendAscii(text.c_str());
}

void FormatPercent(CellText& out, double value, int zeros, int optional)
{
    std::string text = Print(value * 100.0, zeros + optional);
    if (optional > 0)
        DropTrailingZeros(text, static_cast<std::size_t>(optional));
    out.AppendAscii(text.c_str());
    out.Append(u'%');
}

void FormatFraction(CellText& out, double value, int maxDenominator)
{
    char text[kScratchSize];
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    if (fraction == 0) {
        std::snprintf(text, sizeof text, "%.0f", whole);
        out.AppendAscii(text);
        return;
    }
    double bestError = kFirstBestError;
    int numerator = 0;
    int denominator = 1;
    for (int d = 1; d <= maxDenominator; ++d) {
        const int n = static_cast<int>(fraction * d + 0.5);
        const double error = std::fabs(fraction * d - n);
        if (error < bestError) {
            bestError = error;
            numerator = n;
            denominator = d;
        }
        if (error == 0)
            break;
    }
    if (whole != 0)
        std::snprintf(text, sizeof text, "%.0f %d/%d", whole, numerator, denominator);
    else
        std::snprintf(text, sizeof text, "%d/%d", value < 0 ? -numerator : numerator, denominator);
    out.AppendAscii(text);
}

} // namespace spreadsheet
