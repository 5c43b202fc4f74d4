#include "LocaleFormat.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace platform {
namespace {

// Order templates: N is the number, $ the symbol, - the sign.
constexpr const char16_t* kNegativeOrders[16] = { u"($N)", u"-$N", u"$-N", u"$N-", u"(N$)", u"-N$", u"N-$", u"N$-",
    u"-N $", u"-$ N", u"N $-", u"$ N-", u"$ -N", u"N- $", u"($ N)", u"(N $)" };
constexpr const char16_t* kPositiveOrders[4] = { u"$N", u"N$", u"$ N", u"N $" };
constexpr std::uint32_t kMaxDigits = 9;

struct DecimalText {
    bool Negative = false;
    std::string Whole; // digits, no leading zeros
    std::string Fraction; // digits
};

bool ParseValue(const char16_t* value, DecimalText& out)
{
    const char16_t* p = value;
    if (*p == u'-') {
        out.Negative = true;
        ++p;
    }
    bool digits = false;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        out.Whole.push_back(static_cast<char>(*p));
        digits = true;
    }
    if (*p == u'.') {
        for (++p; *p >= u'0' && *p <= u'9'; ++p) {
            out.Fraction.push_back(static_cast<char>(*p));
            digits = true;
        }
    }
    return digits && *p == u'\0';
}

// Adds one in the last place of a string of digits; false when it carries
// out of the first digit (all were nines, now all zeros).
bool IncrementDigits(std::string& digits)
{
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return true;
        }
        *digit = '0';
    }
    return false;
}

// Rounds half away from zero to `places` decimals.
void Round(DecimalText& number, std::size_t places)
{
    if (number.Fraction.size() <= places) {
        number.Fraction.append(places - number.Fraction.size(), '0');
        return;
    }
    const bool up = number.Fraction[places] >= '5';
    number.Fraction.resize(places);
    if (up && !IncrementDigits(number.Fraction) && !IncrementDigits(number.Whole))
        number.Whole.insert(number.Whole.begin(), '1');
}

// Appends the whole digits with separators between groups, counted from the
// right. The digits of `grouping` are the group sizes from the right, the
// last repeating (3: 1,234,567; 32: 12,34,567) unless a final 0 says it does
// not (30: 1234,567); a size of 0 ends the grouping.
void AppendGroupedWhole(
    std::u16string& out, std::string_view whole, std::uint32_t grouping, std::u16string_view separator)
{
    constexpr std::size_t kMaxGroupSizes = 10; // the decimal digits of a 32-bit value
    std::array<std::size_t, kMaxGroupSizes> sizes {};
    std::size_t count = 0;
    for (std::uint32_t rest = grouping; rest > 0; rest /= 10)
        sizes[count++] = rest % 10;
    std::reverse(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(count));
    if (count == 0 || sizes[0] == 0) {
        out.append(whole.begin(), whole.end());
        return;
    }
    const bool repeatLast = sizes[count - 1] != 0;
    if (!repeatLast)
        --count;
    // The groups are appended from the right, each reversed, and the whole
    // is turned round at the end.
    const std::size_t from = out.size();
    const auto digits = whole.rbegin();
    std::size_t end = whole.size();
    for (std::size_t group = 0; end > 0; ++group) {
        const std::size_t size = group < count ? sizes[group] : (repeatLast ? sizes[count - 1] : end);
        const std::size_t done = whole.size() - end;
        if (size == 0 || size >= end) {
            out.append(digits + static_cast<std::ptrdiff_t>(done), whole.rend());
            break;
        }
        out.append(digits + static_cast<std::ptrdiff_t>(done), digits + static_cast<std::ptrdiff_t>(done + size));
        out.append(separator.rbegin(), separator.rend());
        end -= size;
    }
    std::reverse(out.begin() + static_cast<std::ptrdiff_t>(from), out.end());
}

void Arrange(std::u16string& out, const char16_t* order, std::u16string_view number, std::u16string_view symbol)
{
    for (const char16_t* p = order; *p; ++p) {
        if (*p == u'N')
            out.append(number);
        else if (*p == u'$')
            out.append(symbol);
        else
            out.push_back(*p);
    }
}

} // namespace

int GetCurrencyFormatW(
    LCID locale, std::uint32_t flags, const char16_t* value, const CURRENCYFMTW* format, char16_t* buffer, int size)
{
    if (!value || !format || size < 0)
        return 0;
    if (format->NumDigits > kMaxDigits || format->NegativeOrder > 15 || format->PositiveOrder > 3
        || !format->lpDecimalSep || !format->lpThousandSep || !format->lpCurrencySymbol)
        return 0;
    DecimalText digits;
    if (!ParseValue(value, digits))
        return 0;
    Round(digits, format->NumDigits);
    digits.Whole.erase(0, std::min(digits.Whole.find_first_not_of('0'), digits.Whole.size()));
    if (digits.Whole.empty() && format->LeadingZero)
        digits.Whole.push_back('0');
    std::u16string number;
    AppendGroupedWhole(number, digits.Whole, format->Grouping, format->lpThousandSep);
    if (format->NumDigits > 0) {
        number += format->lpDecimalSep;
        number.append(digits.Fraction.begin(), digits.Fraction.end());
    }
    std::u16string text;
    Arrange(text, digits.Negative ? kNegativeOrders[format->NegativeOrder] : kPositiveOrders[format->PositiveOrder],
        number, format->lpCurrencySymbol);
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (!buffer || size < needed)
        return 0;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return needed;
}

} // namespace platform
