#pragma once

// The Pocket Word reader itself: libwps, with librevenge behind it, reading
// a document and writing it out as RTF. It lives in its own module,
// tallowinpocketword.so, so that only a run that opens a Pocket Word
// document loads those libraries; the rest of the program calls
// PocketWordToRtf (PocketWordDocument.h), which loads the module.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

// What PocketWordToRtf answers, read in this module.
std::optional<std::string> ReadPocketWordAsRtf(std::span<const std::uint8_t> bytes, std::uint16_t codePage);

// The module's one export, by name and type.
inline constexpr const char* kPocketWordModuleFile = "tallowinpocketword.so";
inline constexpr const char* kPocketWordToRtfExport = "TallowinPocketWordToRtf";

// Receives the whole RTF of a document the module read.
using PocketWordRtfSink = void (*)(void* context, const char* rtf, std::size_t size);

// 1 after handing the document's RTF to `sink`; 0 when the module does not
// take the bytes for a Pocket Word document or cannot read it.
using PocketWordToRtfFunction = int (*)(
    const std::uint8_t* bytes, std::size_t size, std::uint16_t codePage, PocketWordRtfSink sink, void* context);

} // namespace platform
