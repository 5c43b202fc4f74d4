#include "StartupResources.h"

#include "ResourceModule.h"

namespace shell {
namespace {

constexpr const char* kLanguageLibraryBase = "tallowinlang";
constexpr const char16_t* kLanguageIdentity = u"tallowin3";

} // namespace

platform::ModuleHandle ChooseStartupResourceModule(platform::ModuleHandle program)
{
    return platform::ChooseResourceModule(kLanguageLibraryBase, kLanguageIdentity, program);
}

} // namespace shell
