#pragma once

// String tables of modules: the program's own table (ProgramModule()) and
// those of language libraries.

#include "LanguageLibrary.h"
#include "Module.h"

#include <string_view>

namespace platform {

// The resources of a module: the program's own for ProgramModule(), the
// library's for a language library of the current interface version; null
// for null and for libraries without resources.
const TallowinResources* ModuleResources(ModuleHandle module);

// The stored text of entry `id` of `module` (no fallback). data() points at
// the stored text, which ends with its terminator. Empty when the module has
// no such entry; an empty entry counts as none.
std::u16string_view LoadStringW(ModuleHandle module, unsigned id);

} // namespace platform
