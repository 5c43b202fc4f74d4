#include "StartupResources.h"

namespace shell
{

platform::ModuleHandle ChooseStartupResourceModule(platform::ModuleHandle program)
{
    return program;
}

} // namespace shell
