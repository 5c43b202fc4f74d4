#include "StringTable.h"

#include "ProgramStrings.h"

#include <algorithm>
#include <span>

namespace platform {
namespace {

constexpr TallowinResources kProgramResources {
    TALLOWIN_RESOURCES_VERSION,
    static_cast<std::uint32_t>(kProgramStrings.size()),
    kProgramStrings.data(),
    0,
    nullptr,
};

} // namespace

const TallowinResources* ModuleResources(ModuleHandle module)
{
    if (module == nullptr)
        return nullptr;
    if (module == ProgramModule())
        return &kProgramResources;
    auto function = reinterpret_cast<TallowinResourcesFunction>(GetProcAddressW(module, TALLOWIN_RESOURCES_SYMBOL));
    if (function == nullptr)
        return nullptr;
    const TallowinResources* resources = function();
    if (resources == nullptr || resources->version != TALLOWIN_RESOURCES_VERSION)
        return nullptr;
    return resources;
}

std::u16string_view LoadStringW(ModuleHandle module, unsigned id)
{
    const TallowinResources* resources = ModuleResources(module);
    if (resources == nullptr || resources->strings == nullptr)
        return {};
    std::span<const TallowinString> strings(resources->strings, resources->stringCount);
    auto found = std::lower_bound(strings.begin(), strings.end(), id,
        [](const TallowinString& entry, unsigned value) { return entry.id < value; });
    if (found == strings.end() || found->id != id || found->text == nullptr)
        return {};
    return std::u16string_view(found->text, found->length);
}

} // namespace platform
