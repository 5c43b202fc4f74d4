// Feeds arbitrary bytes to the registry file reader. Whatever it accepts must
// come back unchanged through the writer: writing and reading again gives
// the same keys, names, types and bytes.
#include "RegistryText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace platform::registry;
    auto first = ParseRegistryText({ data, size });
    if (first.Damaged)
        return 0;
    auto text = FormatRegistryText(first.Data);
    auto second = ParseRegistryText({ reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
    if (second.Damaged || second.Data.Keys.size() != first.Data.Keys.size())
        std::abort();
    for (std::size_t k = 0; k < first.Data.Keys.size(); ++k) {
        const auto& a = first.Data.Keys[k];
        const auto& b = second.Data.Keys[k];
        if (a.Path != b.Path || a.Values.size() != b.Values.size())
            std::abort();
        for (std::size_t v = 0; v < a.Values.size(); ++v) {
            if (a.Values[v].Name != b.Values[v].Name || a.Values[v].Type != b.Values[v].Type
                || a.Values[v].Data != b.Values[v].Data)
                std::abort();
        }
    }
    return 0;
}
