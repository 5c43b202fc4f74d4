#pragma once

// Writes little-endian integers and byte runs into a caller's buffer without
// ever writing past its end. A write that does not fit writes nothing and
// returns false; Ok() tells whether every write so far fitted.

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
    std::size_t Remaining() const { return buffer_.size() - position_; }
    bool Ok() const { return ok_; }

    bool Seek(std::size_t offset)
    {
        if (offset > buffer_.size())
            return Fail();
        position_ = offset;
        return true;
    }

    bool WriteU8(std::uint8_t value) { return Write(value); }
    bool WriteU16(std::uint16_t value) { return Write(value); }
    bool WriteU32(std::uint32_t value) { return Write(value); }
    bool WriteU64(std::uint64_t value) { return Write(value); }
    bool WriteI8(std::int8_t value) { return Write(value); }
    bool WriteI16(std::int16_t value) { return Write(value); }
    bool WriteI32(std::int32_t value) { return Write(value); }
    bool WriteI64(std::int64_t value) { return Write(value); }

    bool WriteBytes(std::span<const std::uint8_t> bytes)
    {
        if (bytes.size() > Remaining())
            return Fail();
        if (!bytes.empty())
            std::memcpy(buffer_.data() + position_, bytes.data(), bytes.size());
        position_ += bytes.size();
        return true;
    }

    // Writes count zero bytes (reserved space).
    bool WriteZeros(std::size_t count)
    {
        if (count > Remaining())
            return Fail();
        std::memset(buffer_.data() + position_, 0, count);
        position_ += count;
        return true;
    }

    // Writes at an absolute offset without moving the position.
    template <typename T> bool WriteAt(std::size_t offset, T value)
    {
        static_assert(std::is_integral_v<T>, "ByteWriter writes integers");
        if (offset > buffer_.size() || sizeof(T) > buffer_.size() - offset)
            return Fail();
        using Unsigned = std::make_unsigned_t<T>;
        auto bits = static_cast<Unsigned>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            buffer_[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
        return true;
    }

    template <typename T> bool Write(T value)
    {
        if (!WriteAt(position_, value))
            return false;
        position_ += sizeof(T);
        return true;
    }

private:
    bool Fail()
    {
        ok_ = false;
        return false;
    }

    std::span<std::uint8_t> buffer_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

} // namespace platform
