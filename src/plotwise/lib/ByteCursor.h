#pragma once

// A bounds-checked little-endian reader over a byte span: a read past the
// end fails and leaves the cursor where it was, never reading outside.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace plotwise {

class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes)
        : bytes_(bytes)
    {
    }

    size_t Position() const { return position_; }
    size_t Remaining() const { return bytes_.size() - position_; }

    bool Seek(size_t position)
    {
        if (position > bytes_.size())
            return false;
        position_ = position;
        return true;
    }

    std::optional<uint8_t> U8()
    {
        if (Remaining() < 1)
            return std::nullopt;
        return bytes_[position_++];
    }

    std::optional<uint16_t> U16()
    {
        if (Remaining() < 2)
            return std::nullopt;
        uint16_t value = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
        position_ += 2;
        return value;
    }

    std::optional<uint32_t> U32()
    {
        if (Remaining() < 4)
            return std::nullopt;
        uint32_t value = static_cast<uint32_t>(bytes_[position_]) | (static_cast<uint32_t>(bytes_[position_ + 1]) << 8)
            | (static_cast<uint32_t>(bytes_[position_ + 2]) << 16)
            | (static_cast<uint32_t>(bytes_[position_ + 3]) << 24);
        position_ += 4;
        return value;
    }

    std::optional<int32_t> I32()
    {
        std::optional<uint32_t> value = U32();
        if (!value)
            return std::nullopt;
        return static_cast<int32_t>(*value);
    }

    // The next count bytes, or nothing when fewer remain.
    std::optional<std::span<const uint8_t>> Bytes(size_t count)
    {
        if (Remaining() < count)
            return std::nullopt;
        std::span<const uint8_t> result = bytes_.subspan(position_, count);
        position_ += count;
        return result;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

} // namespace plotwise
