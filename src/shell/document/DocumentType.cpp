#include "DocumentType.h"

#include "RichInk.h"

#include <algorithm>
#include <cstring>

namespace shell {
namespace {

constexpr std::size_t kSignatureLength = 5;
constexpr const char* kRtfSignature = "{\\rtf";
constexpr const char* kPocketWordSignature = "{\\pwi";

bool HasSignature(const std::uint8_t* bytes, std::size_t size, const char* signature)
{
    return bytes && size >= kSignatureLength && std::memcmp(bytes, signature, kSignatureLength) == 0;
}

} // namespace

DocumentType DetectDocumentType(const std::uint8_t* bytes, std::size_t size)
{
    if (HasSignature(bytes, size, kRtfSignature))
        return DocumentType::Rtf;
    if (HasSignature(bytes, size, kPocketWordSignature))
        return DocumentType::PocketWord;
    return DocumentType::Other;
}

std::uintptr_t StreamInFormat(DocumentType type)
{
    return type == DocumentType::Rtf ? platform::SF_RTF : platform::SF_POCKETWORD_RTF;
}

bool IsBinaryFile(const std::uint8_t* bytes, std::size_t size)
{
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return false;
    constexpr std::size_t kLooked = 64 * 1024;
    const std::uint8_t* end = bytes + std::min(size, kLooked);
    return std::find(bytes, end, std::uint8_t { 0 }) != end;
}

bool LooksLikeWorkbook(const std::uint8_t* bytes, std::size_t size)
{
    // The sheet-begin record: type 9, then its version and the sheet flags.
    constexpr std::uint8_t kSheetBegin = 9;
    return size >= 5 && bytes[0] == kSheetBegin && IsBinaryFile(bytes, size);
}

} // namespace shell
