#pragma once

// Locale fields with the calling conventions of the rest of the program:
// GetLocaleInfoW returns the number of UTF-16 units written including the
// terminator, the size needed when the given size is 0, and 0 when the
// buffer is too small, the field is not known or the locale cannot be found.

#include "LocaleTypes.h"
#include "PosixLocale.h"

#include <string>

namespace platform {

int GetLocaleInfoW(LCID locale, LCTYPE type, char16_t* buffer, int size);

// The ICU locale id a locale identifier stands for. LOCALE_USER_DEFAULT,
// LOCALE_SYSTEM_DEFAULT and 0 mean the environment's locale for `category`
// (a malformed one counts as "C", that is U.S. English); the program names
// no other locale, so any other identifier gives an empty id. Formatting
// routines of this layer share it so that every field of one call comes from
// the same locale.
std::string ResolveLocale(LCID locale, LocaleCategory category);

} // namespace platform
