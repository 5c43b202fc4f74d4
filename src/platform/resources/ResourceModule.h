#pragma once

// The choice of the module that user-visible resources come from.

#include "Module.h"

#include <array>
#include <string>
#include <string_view>

namespace platform {

// The candidate file names for a language, in the order they are tried:
// base + the identifier as four hex digits, base + the primary language
// (identifier AND 0x3FF) as at least two hex digits, base alone, each with
// the shared-library suffix.
std::array<std::string, 3> LanguageLibraryNames(std::string_view base, unsigned langId);

// Loads the first candidate for the system default language whose entry 2
// equals `identity`, reading that entry with the usual fallback: a library
// without entry 2 is judged by `fallback`'s entry 2 and so accepted when the
// program's identity is the one asked for. Rejected candidates are unloaded.
// Returns `fallback` when no candidate is accepted.
ModuleHandle ChooseResourceModule(std::string_view base, std::u16string_view identity, ModuleHandle fallback);

} // namespace platform
