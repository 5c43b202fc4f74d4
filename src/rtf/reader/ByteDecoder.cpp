#include "ByteDecoder.h"

#include <CodePages.h>

namespace rtf {
namespace {

// One or two code-page bytes to a UTF-16 unit; when the code page cannot
// convert them, the raw value stands for the character.
char16_t ConvertBytes(std::uint16_t codePage, const std::uint8_t* bytes, int count)
{
    char16_t unit = 0;
    if (platform::MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), count, &unit, 1) == 1)
        return unit;
    return count == 2 ? static_cast<char16_t>(bytes[0] + 256 * bytes[1]) : static_cast<char16_t>(bytes[0]);
}

} // namespace

ByteDecoder::Byte ByteDecoder::Learn(std::uint16_t codePage, std::uint8_t byte)
{
    Entry& entry = TableFor(codePage).Entries[byte];
    if (entry.ByteKind == Kind::Unknown) {
        if (platform::IsDBCSLeadByteEx(codePage, byte)) {
            entry.ByteKind = Kind::LeadByte;
        } else {
            entry.ByteKind = Kind::Single;
            entry.Unit = ConvertBytes(codePage, &byte, 1);
        }
    }
    return Byte { entry.ByteKind == Kind::LeadByte, entry.Unit };
}

char16_t ByteDecoder::DecodePair(std::uint16_t codePage, std::uint8_t lead, std::uint8_t trail)
{
    const std::uint8_t pair[2] = { lead, trail };
    return ConvertBytes(codePage, pair, 2);
}

ByteDecoder::Table& ByteDecoder::TableFor(std::uint16_t codePage)
{
    if (current_ < tables_.size() && tables_[current_].CodePage == codePage)
        return tables_[current_];
    for (current_ = 0; current_ < tables_.size(); ++current_) {
        if (tables_[current_].CodePage == codePage)
            return tables_[current_];
    }
    tables_.push_back(Table { codePage, {} });
    return tables_.back();
}

} // namespace rtf
