#pragma once

// Writes little-endian integers at offsets, and byte runs at a position,
// into a caller's buffer without ever writing past its end: a write that does
// not fit writes nothing and returns false.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace platform {

class ByteWriter {
public:
    explicit ByteWriter(std::span<std::uint8_t> buffer)
        : buffer_(buffer)
    {
    }

    std::size_t Position() const { return position_; }

    bool Seek(std::size_t offset)
    {
        if (offset > buffer_.size())
            return false;
        position_ = offset;
        return true;
    }

    bool WriteBytes(std::span<const std::uint8_t> bytes)
    {
        if (bytes.size() > Remaining())
            return false;
        if (!bytes.empty())
            std::memcpy(buffer_.data() + position_, bytes.data(), bytes.size());
        position_ += bytes.size();
        return true;
    }

    // Writes count zero bytes (reserved space).
    bool WriteZeros(std::size_t count)
    {
        if (count > Remaining())
            return false;
        std::memset(buffer_.data() + position_, 0, count);
        position_ += count;
        return true;
    }

    // Writes at an absolute offset without moving the position.
    template <typename T> bool WriteAt(std::size_t offset, T value)
    {
        static_assert(std::is_integral_v<T>, "ByteWriter writes integers");
        if (offset > buffer_.size() || sizeof(T) > buffer_.size() - offset)
            return false;
        using Unsigned = std::make_unsigned_t<T>;
        auto bits = static_cast<Unsigned>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            buffer_[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
        return true;
    }

private:
    std::size_t Remaining() const { return buffer_.size() - position_; }

    std::span<std::uint8_t> buffer_;
    std::size_t position_ = 0;
};

} // namespace platform
