#include "LanguageId.h"

#include "PosixLocale.h"

namespace platform {

LANGID GetSystemDefaultLangID()
{
    return LangIdFromLocaleName(PosixLocaleName(LocaleCategory::Messages)).value_or(kLangIdUsEnglish);
}

} // namespace platform
