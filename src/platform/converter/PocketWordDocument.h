#pragma once

// Pocket Word documents (.psw, .pwi): binary files that begin with "{\pwi",
// read with libwps and written out as RTF for the RTF reader. The reader is
// the module tallowinpocketword.so in the program's library directory,
// loaded on the first document (PocketWordReader.h); without it no document
// is taken, and the user is told once on standard error.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

// The document as RTF, its 8-bit text read in `codePage` (the ANSI code
// page of the locale). Nothing when libwps does not take the bytes for a
// Pocket Word document or cannot read it.
std::optional<std::string> PocketWordToRtf(std::span<const std::uint8_t> bytes, std::uint16_t codePage);

} // namespace platform
