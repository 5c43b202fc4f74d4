#include "DialogTemplate.h"

#include "StringTable.h"

namespace platform {
namespace {

const DialogTemplate* FindInTable(const DialogTemplateTable& table, unsigned id)
{
    for (std::size_t i = 0; i < table.Count; ++i)
        if (table.Templates[i].Id == id)
            return &table.Templates[i];
    return nullptr;
}

const DialogTemplate* FindInLibrary(ModuleHandle module, unsigned id)
{
    const TallowinResources* resources = ModuleResources(module);
    if (!resources || !resources->resources)
        return nullptr;
    for (std::uint32_t i = 0; i < resources->resourceCount; ++i) {
        const TallowinResource& resource = resources->resources[i];
        if (resource.type == kDialogResourceType && resource.id == id && resource.data
            && resource.size == sizeof(DialogTemplate))
            return static_cast<const DialogTemplate*>(resource.data);
    }
    return nullptr;
}

} // namespace

const DialogTemplate* FindDialogTemplate(ModuleHandle module, unsigned id)
{
    if (module && module != ProgramModule())
        if (const DialogTemplate* found = FindInLibrary(module, id))
            return found;
    return FindInTable(ProgramDialogTemplates(), id);
}

} // namespace platform
