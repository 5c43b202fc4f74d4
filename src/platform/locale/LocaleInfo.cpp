#include "LocaleInfo.h"

#include <optional>
#include <unicode/dcfmtsym.h>
#include <unicode/uloc.h>
#include <unicode/ulocdata.h>
#include <utility>
#include <vector>

namespace platform {
namespace {

// Flags that may be combined with a field and change nothing here.
constexpr LCTYPE kLocaleFieldFlags = 0x80000000; // LOCALE_NOUSEROVERRIDE

std::optional<LocaleCategory> CategoryOf(LCTYPE type)
{
    switch (type) {
    case LOCALE_IMEASURE:
        return LocaleCategory::Measurement;
    case LOCALE_SDECIMAL:
    case LOCALE_STHOUSAND:
        return LocaleCategory::Numeric;
    case LOCALE_SCURRENCY:
        return LocaleCategory::Monetary;
    default:
        return std::nullopt;
    }
}

std::optional<std::u16string> NumberSymbol(const std::string& id, icu::DecimalFormatSymbols::ENumberFormatSymbol symbol)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(icu::Locale(id.c_str()), status);
    if (U_FAILURE(status))
        return std::nullopt;
    const icu::UnicodeString& text = symbols.getConstSymbol(symbol);
    return std::u16string(text.getBuffer(), static_cast<std::size_t>(text.length()));
}

std::optional<std::u16string> ReadFieldValue(const std::string& id, LCTYPE type)
{
    switch (type) {
    case LOCALE_IMEASURE: {
        UErrorCode status = U_ZERO_ERROR;
        UMeasurementSystem system = ulocdata_getMeasurementSystem(id.c_str(), &status);
        if (U_FAILURE(status))
            return std::nullopt;
        return std::u16string(system == UMS_US ? u"1" : u"0");
    }
    case LOCALE_SDECIMAL:
        return NumberSymbol(id, icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
    case LOCALE_STHOUSAND:
        return NumberSymbol(id, icu::DecimalFormatSymbols::kGroupingSeparatorSymbol);
    case LOCALE_SCURRENCY:
        return NumberSymbol(id, icu::DecimalFormatSymbols::kCurrencySymbol);
    default:
        return std::nullopt;
    }
}

// Reading a field builds ICU's locale data, which costs far more than the
// callers' own work (number formats ask for the separators once per cell),
// so the answer for each locale and field is kept. A process meets one or
// two locales: the answers are a short list, searched in order.
std::optional<std::u16string> FieldValue(const std::string& id, LCTYPE type)
{
    struct KnownField {
        std::string Id;
        LCTYPE Type;
        std::optional<std::u16string> Value;
    };
    thread_local std::vector<KnownField> known;
    for (const KnownField& field : known) {
        if (field.Type == type && field.Id == id)
            return field.Value;
    }
    std::optional<std::u16string> value = ReadFieldValue(id, type);
    known.push_back(KnownField { id, type, value });
    return value;
}

} // namespace

std::string ResolveLocale(LCID locale, LocaleCategory category)
{
    if (locale != LOCALE_USER_DEFAULT && locale != LOCALE_SYSTEM_DEFAULT && locale != 0)
        return {};
    // The environment is read every time; the id of the name read last is
    // kept, since number formats ask once or twice per cell.
    thread_local std::string lastName;
    thread_local std::string lastId;
    std::string name = PosixLocaleName(category);
    if (name != lastName || lastId.empty()) {
        std::string id = IcuLocaleId(name);
        lastId = id.empty() ? IcuLocaleId("C") : std::move(id);
        lastName = std::move(name);
    }
    return lastId;
}

int GetLocaleInfoW(LCID locale, LCTYPE type, char16_t* buffer, int size)
{
    type &= ~kLocaleFieldFlags;
    std::optional<LocaleCategory> category = CategoryOf(type);
    if (!category || size < 0 || (size > 0 && buffer == nullptr))
        return 0;
    std::string id = ResolveLocale(locale, *category);
    if (id.empty())
        return 0;
    std::optional<std::u16string> value = FieldValue(id, type);
    if (!value)
        return 0;
    int needed = static_cast<int>(value->size()) + 1;
    if (size == 0)
        return needed;
    if (size < needed)
        return 0;
    value->copy(buffer, value->size());
    buffer[value->size()] = u'\0';
    return needed;
}

} // namespace platform
