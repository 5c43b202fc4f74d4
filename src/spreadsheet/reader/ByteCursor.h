#pragma once

// Field access at offsets inside a workbook record, over the platform's
// bounds-checked little-endian cursor: a field that does not lie wholly
// inside the span yields no value.

// The path is spelled out because this header has the same name.
#include "../../platform/bytes/ByteCursor.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace spreadsheet {

class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes)
        : cursor_(bytes)
        , size_(bytes.size())
    {
    }

    std::size_t Size() const { return size_; }

    // True when count bytes from offset lie inside the span.
    bool Contains(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }

    std::optional<std::uint8_t> U8At(std::size_t offset) const { return cursor_.ReadAt<std::uint8_t>(offset); }
    std::optional<std::uint16_t> U16At(std::size_t offset) const { return cursor_.ReadAt<std::uint16_t>(offset); }
    std::optional<std::int16_t> I16At(std::size_t offset) const { return cursor_.ReadAt<std::int16_t>(offset); }
    std::optional<std::uint32_t> U32At(std::size_t offset) const { return cursor_.ReadAt<std::uint32_t>(offset); }
    std::optional<double> F64At(std::size_t offset) const
    {
        auto bits = cursor_.ReadAt<std::uint64_t>(offset);
        if (!bits)
            return std::nullopt;
        return std::bit_cast<double>(*bits);
    }

private:
    platform::ByteCursor cursor_;
    std::size_t size_;
};

} // namespace spreadsheet
