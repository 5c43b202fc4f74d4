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

// True when a file the converter refused cannot be text either: it holds a
// NUL byte in its first 64 KiB and does not start with the UTF-16 byte-order
// mark (a program, an image, an archive). Such a file is refused rather than
// printed as pages of garbage.
bool IsBinaryFile(const std::uint8_t* bytes, std::size_t size);

// True when the file begins as a Pocket Excel workbook does (its first
// record opens a sheet), so a workbook named as a document prints as one.
bool LooksLikeWorkbook(const std::uint8_t* bytes, std::size_t size);

// The stream-in format of the document converter for the type.
std::uintptr_t StreamInFormat(DocumentType type);

} // namespace shell
