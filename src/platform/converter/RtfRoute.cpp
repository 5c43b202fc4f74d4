#include "RtfRoute.h"

#include "Module.h"

namespace platform {
namespace {

NormaliseRtfFunction LoadNormaliser()
{
    ModuleHandle module = LoadLibraryW(kRtfModuleFile);
    void* found = module != nullptr ? GetProcAddressW(module, kNormaliseRtfExport) : nullptr;
    return reinterpret_cast<NormaliseRtfFunction>(found);
}

void KeepRtf(void* context, const char* rtf, std::size_t size)
{
    static_cast<std::string*>(context)->assign(rtf, size);
}

} // namespace

std::optional<std::string> NormaliseRtfDocument(std::span<const std::uint8_t> rtf, std::uint16_t codePage)
{
    static const NormaliseRtfFunction normalise = LoadNormaliser();
    std::string out;
    if (normalise == nullptr || normalise(rtf.data(), rtf.size(), codePage, KeepRtf, &out) == 0)
        return std::nullopt;
    return out;
}

} // namespace platform
