#include "SystemLocale.h"

#include <CodePages.h>
#include <LocaleInfo.h>

namespace printengine {
namespace {

constexpr int kMeasureFieldSize = 2;
constexpr char16_t kUsMeasure = u'1';

} // namespace

bool LocaleMeasuresInUsUnits()
{
    char16_t measure[kMeasureFieldSize] = {};
    platform::GetLocaleInfoW(platform::LOCALE_SYSTEM_DEFAULT, platform::LOCALE_IMEASURE, measure, kMeasureFieldSize);
    return measure[0] == kUsMeasure;
}

std::uint16_t SystemAnsiCodePage()
{
    return static_cast<std::uint16_t>(platform::GetACP());
}

} // namespace printengine
