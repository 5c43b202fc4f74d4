#pragma once

// The type of a document file, from its first five bytes.

#include <cstddef>
#include <cstdint>

namespace shell {

enum class DocumentType {
    Rtf, // "{\rtf"
    PocketWord, // "{\pwi"
    Other, // printed as plain text
};

DocumentType DetectDocumentType(const std::uint8_t* bytes, std::size_t size);

// The stream-in format of the document converter for the type.
std::uintptr_t StreamInFormat(DocumentType type);

} // namespace shell
