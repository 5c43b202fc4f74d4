#include "PocketWordReader.h"

#include "MemoryInputStream.h"
#include "RtfDocumentWriter.h"

#include <libwps/libwps.h>

#include <new>

namespace platform {

std::optional<std::string> ReadPocketWordAsRtf(std::span<const std::uint8_t> bytes, std::uint16_t codePage)
{
    // libwps is a C++ library that may throw; nothing of it crosses into
    // the converter, which reports a document it cannot read as refused.
    try {
        MemoryInputStream input(bytes);
        libwps::WPSKind kind = libwps::WPS_TEXT;
        libwps::WPSCreator creator = libwps::WPS_MSWORKS;
        bool needsEncoding = false;
        const libwps::WPSConfidence confidence
            = libwps::WPSDocument::isFileFormatSupported(&input, kind, creator, needsEncoding);
        if (confidence != libwps::WPS_CONFIDENCE_EXCELLENT || creator != libwps::WPS_POCKETWORD
            || kind != libwps::WPS_TEXT)
            return std::nullopt;

        // libwps names the code page of 8-bit text "CP" and its number.
        const std::string encoding = "CP" + std::to_string(codePage);
        RtfDocumentWriter writer(codePage);
        input.seek(0, librevenge::RVNG_SEEK_SET);
        if (libwps::WPSDocument::parse(&input, &writer, "", encoding.c_str()) != libwps::WPS_OK)
            return std::nullopt;
        return writer.Rtf();
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace platform
