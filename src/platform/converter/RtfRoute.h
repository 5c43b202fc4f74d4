#pragma once

// The converter's RTF route as the program calls it: RtfNormaliser, in the
// module tallowinrtf.so (it writes through librevenge's text interface, a
// library only an RTF document needs), loaded on the first RTF document.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

// The document in the reader's vocabulary (NormaliseRtf); nothing when the
// converter cannot read it or the module is missing, and the caller then
// keeps the document as it is.
std::optional<std::string> NormaliseRtfDocument(std::span<const std::uint8_t> rtf, std::uint16_t codePage);

// The module's one export, by name and type: 1 after handing the RTF to
// `sink`, 0 when the bytes are not RTF the converter can read.
inline constexpr const char* kRtfModuleFile = "tallowinrtf.so";
inline constexpr const char* kNormaliseRtfExport = "TallowinNormaliseRtf";
using RtfSink = void (*)(void* context, const char* rtf, std::size_t size);
using NormaliseRtfFunction
    = int (*)(const std::uint8_t* bytes, std::size_t size, std::uint16_t codePage, RtfSink sink, void* context);

} // namespace platform
