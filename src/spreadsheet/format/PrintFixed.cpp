#include "PrintFixed.h"

#include "NumberFormatTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace spreadsheet {
namespace {

// Room for any double with up to 15 + kTieDigits decimals.
constexpr std::size_t kScratchSize = 400;
// Digits printed past the last kept one to recognise an exact half. A double
// that is an exact half at up to 15 decimals has at most 16 decimals, and
// one that is not differs from a half well before this many.
constexpr int kTieDigits = 25;

// Adds one unit in the last place of a string of digits, with a point.
void IncrementMagnitude(std::string& text)
{
    int i = static_cast<int>(text.size()) - 1;
    for (; i >= 0; --i) {
        char& c = text[static_cast<std::size_t>(i)];
        if (c == '.')
            continue;
        if (c < '0' || c > '9')
            break;
        if (c == '9') {
            c = '0';
        } else {
            ++c;
            return;
        }
    }
    text.insert(static_cast<std::size_t>(i + 1), 1, '1');
}

} // namespace

std::string PrintFixed(double value, int places)
{
    places = std::clamp(places, 0, kMaxPrecision);
    char text[kScratchSize];
    std::snprintf(text, sizeof text, kPrecisionPatterns[static_cast<std::size_t>(places)], value);
    if (!std::isfinite(value))
        return text;
    char longer[kScratchSize];
    std::snprintf(longer, sizeof longer, "%.*f", places + kTieDigits, value);
    std::string exact = longer;
    const std::size_t point = exact.find('.');
    const std::size_t cut = places == 0 ? point : point + 1 + static_cast<std::size_t>(places);
    const std::string rest = exact.substr(point + 1 + static_cast<std::size_t>(places));
    const bool tie = !rest.empty() && rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
    if (!tie)
        return text;
    std::string rounded = exact.substr(0, cut);
    IncrementMagnitude(rounded);
    return rounded;
}

} // namespace spreadsheet
