#include "PocketWordDocument.h"

#include "Module.h"
#include "PocketWordReader.h"

#include <cstdio>

namespace platform {
namespace {

// The module's reader, loaded on the first Pocket Word document; null, after
// telling the user once, when the module cannot be loaded.
PocketWordToRtfFunction LoadPocketWordReader()
{
    ModuleHandle module = LoadLibraryW(kPocketWordModuleFile);
    void* found = module != nullptr ? GetProcAddressW(module, kPocketWordToRtfExport) : nullptr;
    if (found == nullptr) {
        std::fprintf(stderr, "tallowin: Pocket Word documents cannot be read: %s is missing from %s or unusable\n",
            kPocketWordModuleFile, ProgramLibraryDirectory().c_str());
        return nullptr;
    }
    return reinterpret_cast<PocketWordToRtfFunction>(found);
}

void KeepRtf(void* context, const char* rtf, std::size_t size)
{
    static_cast<std::string*>(context)->assign(rtf, size);
}

} // namespace

std::optional<std::string> PocketWordToRtf(std::span<const std::uint8_t> bytes, std::uint16_t codePage)
{
    static const PocketWordToRtfFunction read = LoadPocketWordReader();
    std::string rtf;
    if (read == nullptr || read(bytes.data(), bytes.size(), codePage, KeepRtf, &rtf) == 0)
        return std::nullopt;
    return rtf;
}

} // namespace platform
