#pragma once

// Turns document bytes into UTF-16 through a code page. What a byte is in a
// code page (the lead byte of a pair, or the unit it converts to) is asked
// of the platform the first time the byte is met in that code page and kept
// from then on: the reader converts one byte at a time, and a call to the
// platform's converter costs many times the rest of the reading of a byte.

#include <array>
#include <cstdint>
#include <vector>

namespace rtf {

class ByteDecoder {
public:
    struct Byte {
        bool LeadByte = false; // starts a two-byte character: Unit is not set
        char16_t Unit = 0;
    };

    // The byte alone in the code page. A byte the code page does not define
    // stands for itself (Unit is the byte's value).
    Byte Decode(std::uint16_t codePage, std::uint8_t byte)
    {
        // Bytes mostly come in the code page of the byte before, and are known.
        if (current_ < tables_.size() && tables_[current_].CodePage == codePage) {
            const Entry& entry = tables_[current_].Entries[byte];
            if (entry.ByteKind != Kind::Unknown)
                return Byte { entry.ByteKind == Kind::LeadByte, entry.Unit };
        }
        return Learn(codePage, byte);
    }

    // The unit of a lead byte and its trail byte; their little-endian value
    // when the code page does not define the pair.
    static char16_t DecodePair(std::uint16_t codePage, std::uint8_t lead, std::uint8_t trail);

private:
    enum class Kind : std::uint8_t { Unknown, LeadByte, Single };
    struct Entry {
        Kind ByteKind = Kind::Unknown;
        char16_t Unit = 0;
    };
    struct Table {
        std::uint16_t CodePage = 0;
        std::array<Entry, 256> Entries {};
    };

    Table& TableFor(std::uint16_t codePage);
    // Decode for a byte not known yet in the code page, or another code page.
    Byte Learn(std::uint16_t codePage, std::uint8_t byte);

    // A document uses a few code pages at most.
    std::vector<Table> tables_;
    std::size_t current_ = 0;
};

} // namespace rtf
