#pragma once

#include "Module.h"

namespace shell {

// The module user-visible resources come from: the language library of the
// system language that carries the program's identity text, else the
// program itself.
platform::ModuleHandle ChooseStartupResourceModule(platform::ModuleHandle program);

} // namespace shell
