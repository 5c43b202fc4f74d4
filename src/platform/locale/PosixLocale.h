#pragma once

// The locale of the environment, as POSIX programs find it: LC_ALL, then the
// variable of the category, then LANG; the first one set and not empty wins.
// Tests set these variables themselves, so nothing here depends on which
// locales the system has installed.

#include "LocaleTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class LocaleCategory { Messages, Numeric, Monetary, Measurement, CharacterType, Time };

// The raw name ("de_DE.UTF-8@euro"), or "C" when no variable is set.
std::string PosixLocaleName(LocaleCategory category);

// The ICU locale id of a POSIX locale name ("de_DE.UTF-8" gives "de_DE",
// "sr_RS@latin" gives "sr_Latn_RS"); "C", "POSIX" and their codeset variants
// give "en_US". Empty when the name is not of the form language[_TERRITORY].
std::string IcuLocaleId(std::string_view posixName);

// The language identifier of a POSIX locale name: the table of the locale
// data where it knows the language and territory, the primary language with
// the default sub-language for a known language in an unknown territory.
// Empty for a name that is malformed or of an unknown language.
std::optional<LANGID> LangIdFromLocaleName(std::string_view posixName);

} // namespace platform
