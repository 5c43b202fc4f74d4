#include "LocaleData.h"
#include "LocaleFormat.h"
#include "LocaleInfo.h"

#include <algorithm>
#include <string>
#include <vector>

namespace platform {
namespace {

// Order templates: N is the number, $ the symbol, - the sign.
constexpr const char16_t* kNegativeOrders[16] = { u"($N)", u"-$N", u"$-N", u"$N-", u"(N$)", u"-N$", u"N-$", u"N$-",
    u"-N $", u"-$ N", u"N $-", u"$ N-", u"$ -N", u"N- $", u"($ N)", u"(N $)" };
constexpr const char16_t* kPositiveOrders[4] = { u"$N", u"N$", u"$ N", u"N $" };
constexpr std::uint32_t kMaxDigits = 9;
// The locale strings of the default format, as large as the platform allows.
constexpr int kLocaleStringSize = 16;

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

// Rounds half away from zero to `places` decimals.
void Round(DecimalText& number, std::size_t places)
{
    if (number.Fraction.size() <= places) {
        number.Fraction.append(places - number.Fraction.size(), '0');
        return;
    }
    const bool up = number.Fraction[places] >= '5';
    number.Fraction.resize(places);
    if (!up)
        return;
    std::string all = number.Whole + number.Fraction;
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
        if (all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
        } else {
            ++all[static_cast<std::size_t>(i)];
            break;
        }
    }
    if (i < 0)
        all.insert(all.begin(), '1');
    number.Whole = all.substr(0, all.size() - places);
    number.Fraction = all.substr(all.size() - places);
}

std::vector<std::size_t> GroupSizes(std::uint32_t grouping)
{
    std::vector<std::size_t> sizes;
    for (std::uint32_t rest = grouping; rest > 0; rest /= 10)
        sizes.insert(sizes.begin(), rest % 10);
    // A trailing 0 (as in 30) means the last size does not repeat; without
    // it the last size repeats.
    return sizes;
}

std::u16string GroupWhole(const std::string& whole, std::uint32_t grouping, const std::u16string& separator)
{
    std::vector<std::size_t> sizes = GroupSizes(grouping);
    std::u16string out(whole.begin(), whole.end());
    if (sizes.empty() || sizes[0] == 0)
        return out;
    const bool repeatLast = sizes.back() != 0;
    if (!repeatLast)
        sizes.pop_back();
    std::u16string grouped;
    std::size_t end = out.size();
    std::size_t group = 0;
    while (end > 0) {
        std::size_t size = group < sizes.size() ? sizes[group] : (repeatLast ? sizes.back() : end);
        if (size == 0 || size >= end) {
            grouped.insert(0, out.substr(0, end));
            break;
        }
        grouped.insert(0, separator + out.substr(end - size, size));
        end -= size;
        ++group;
    }
    return grouped;
}

std::u16string Arrange(const char16_t* order, const std::u16string& number, const std::u16string& symbol)
{
    std::u16string out;
    for (const char16_t* p = order; *p; ++p) {
        if (*p == u'N')
            out += number;
        else if (*p == u'$')
            out += symbol;
        else
            out.push_back(*p);
    }
    return out;
}

} // namespace

int GetCurrencyFormatW(
    LCID locale, std::uint32_t flags, const char16_t* value, const CURRENCYFMTW* format, char16_t* buffer, int size)
{
    if (!value || size < 0)
        return 0;
    CURRENCYFMTW defaults;
    char16_t decimal[kLocaleStringSize] = {};
    char16_t thousand[kLocaleStringSize] = {};
    char16_t symbol[kLocaleStringSize] = {};
    if (!format) {
        const std::string id = ResolveLocale(locale, LocaleCategory::Monetary);
        if (id.empty() || !GetLocaleInfoW(locale, LOCALE_SDECIMAL, decimal, kLocaleStringSize)
            || !GetLocaleInfoW(locale, LOCALE_STHOUSAND, thousand, kLocaleStringSize)
            || !GetLocaleInfoW(locale, LOCALE_SCURRENCY, symbol, kLocaleStringSize))
            return 0;
        const LocaleData& monetary = LocaleDataFor(id);
        defaults.NumDigits = 2;
        defaults.LeadingZero = 1;
        defaults.Grouping = 3;
        defaults.lpDecimalSep = decimal;
        defaults.lpThousandSep = thousand;
        defaults.lpCurrencySymbol = symbol;
        defaults.PositiveOrder = (monetary.CurrencyFirst ? 0 : 1) + (monetary.CurrencySpaced ? 2 : 0);
        defaults.NegativeOrder
            = monetary.CurrencyFirst ? (monetary.CurrencySpaced ? 9 : 1) : (monetary.CurrencySpaced ? 8 : 5);
        format = &defaults;
    }
    if (format->NumDigits > kMaxDigits || format->NegativeOrder > 15 || format->PositiveOrder > 3
        || !format->lpDecimalSep || !format->lpThousandSep || !format->lpCurrencySymbol)
        return 0;
    DecimalText number;
    if (!ParseValue(value, number))
        return 0;
    Round(number, format->NumDigits);
    number.Whole.erase(0, std::min(number.Whole.find_first_not_of('0'), number.Whole.size()));
    if (number.Whole.empty() && format->LeadingZero)
        number.Whole.push_back('0');
    std::u16string text = GroupWhole(number.Whole, format->Grouping, format->lpThousandSep);
    if (format->NumDigits > 0) {
        text += format->lpDecimalSep;
        text.append(number.Fraction.begin(), number.Fraction.end());
    }
    const std::u16string currency = format->lpCurrencySymbol;
    text = number.Negative ? Arrange(kNegativeOrders[format->NegativeOrder], text, currency)
                           : Arrange(kPositiveOrders[format->PositiveOrder], text, currency);
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
