#include "DialogTemplate.h"

namespace platform {
namespace {

const DialogTemplate* FindIn(const DialogTemplateTable* table, unsigned id)
{
    if (!table || !table->Templates)
        return nullptr;
    for (std::size_t i = 0; i < table->Count; ++i)
        if (table->Templates[i].Id == id)
            return &table->Templates[i];
    return nullptr;
}

} // namespace

const DialogTemplate* FindDialogTemplate(ModuleHandle module, unsigned id)
{
    if (module && module != ProgramModule()) {
        auto* table = static_cast<const DialogTemplateTable*>(GetProcAddressW(module, kDialogTemplatesSymbol));
        if (const DialogTemplate* found = FindIn(table, id))
            return found;
    }
    return FindIn(&ProgramDialogTemplates(), id);
}

} // namespace platform
