#pragma once

// A bounds-checked little-endian reader over a byte span. Every read either
// lies wholly inside the span or yields no value; nothing is ever read past
// the end.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace spreadsheet {

class ByteCursor
{
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes, std::size_t offset = 0)
        : bytes_(bytes)
        , offset_(offset)
    {
    }

    std::size_t Offset() const { return offset_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return offset_ < bytes_.size() ? bytes_.size() - offset_ : 0; }
    bool AtEnd() const { return Remaining() == 0; }

    // True when count bytes starting at offset lie inside the span; safe
    // against overflow of offset + count.
    bool Contains(std::size_t offset, std::size_t count) const
    {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }

    std::optional<std::uint8_t> U8At(std::size_t offset) const
    {
        if (!Contains(offset, 1))
            return std::nullopt;
        return bytes_[offset];
    }

    std::optional<std::uint16_t> U16At(std::size_t offset) const
    {
        if (!Contains(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }

    std::optional<std::int16_t> I16At(std::size_t offset) const
    {
        auto value = U16At(offset);
        if (!value)
            return std::nullopt;
        return static_cast<std::int16_t>(*value);
    }

    std::optional<std::uint32_t> U32At(std::size_t offset) const
    {
        if (!Contains(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(bytes_[offset]) | (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8)
            | (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16)
            | (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
    }

    std::optional<double> F64At(std::size_t offset) const
    {
        if (!Contains(offset, 8))
            return std::nullopt;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | bytes_[offset + static_cast<std::size_t>(i)];
        return std::bit_cast<double>(bits);
    }

    // The count bytes at offset, or an empty span when they do not all fit.
    std::optional<std::span<const std::uint8_t>> BytesAt(std::size_t offset, std::size_t count) const
    {
        if (!Contains(offset, count))
            return std::nullopt;
        return bytes_.subspan(offset, count);
    }

    // Sequential reads from the current offset; each advances only on success.
    std::optional<std::uint8_t> ReadU8() { return Advance(U8At(offset_), 1); }
    std::optional<std::uint16_t> ReadU16() { return Advance(U16At(offset_), 2); }
    std::optional<std::int16_t> ReadI16() { return Advance(I16At(offset_), 2); }
    std::optional<std::uint32_t> ReadU32() { return Advance(U32At(offset_), 4); }
    std::optional<double> ReadF64() { return Advance(F64At(offset_), 8); }

    bool Skip(std::size_t count)
    {
        if (!Contains(offset_, count))
            return false;
        offset_ += count;
        return true;
    }

private:
    template <typename T> std::optional<T> Advance(std::optional<T> value, std::size_t width)
    {
        if (value)
            offset_ += width;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_;
};

} // namespace spreadsheet
