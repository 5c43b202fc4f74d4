#include "SystemLocale.h"

#include <cstdlib>
#include <string_view>

namespace printengine
{
namespace
{

constexpr std::uint16_t kWesternAnsiCodePage = 1252;

// The locale name the C library would use for measurements.
std::string_view MeasurementLocale()
{
    for (const char* name : { "LC_ALL", "LC_MEASUREMENT", "LANG" }) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != 0)
            return value;
    }
    return "C";
}

} // namespace

bool LocaleMeasuresInUsUnits()
{
    const std::string_view locale = MeasurementLocale();
    if (locale == "C" || locale == "POSIX" || locale.starts_with("C."))
        return true;
    const std::size_t territory = locale.find('_');
    if (territory == std::string_view::npos)
        return false;
    const std::string_view country = locale.substr(territory + 1, 2);
    return country == "US" || country == "LR" || country == "MM";
}

std::uint16_t SystemAnsiCodePage()
{
    return kWesternAnsiCodePage;
}

} // namespace printengine
