#pragma once

#include "LocaleTypes.h"

namespace platform {

// The language of the user interface: the language identifier of the
// LC_MESSAGES locale (LC_ALL, LC_MESSAGES, then LANG). Unset, "C", "POSIX",
// a malformed name or an unknown language give U.S. English (0x0409).
LANGID GetSystemDefaultLangID();

} // namespace platform
