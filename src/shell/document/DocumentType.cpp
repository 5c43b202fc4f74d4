#include "DocumentType.h"

#include "RichInk.h"

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

} // namespace shell
