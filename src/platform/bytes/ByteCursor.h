#pragma once

// Reads little-endian integers and byte runs from a span without ever reading
// past its end. Every read returns std::nullopt (or false) instead when the
// bytes are not all there, and a failed read does not move the cursor, so a
// reader can report a truncated record and stop cleanly.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

namespace platform {

class ByteCursor {
public:
    ByteCursor() = default;
    explicit ByteCursor(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }

    std::size_t Position() const { return position_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - position_; }
    bool AtEnd() const { return position_ == bytes_.size(); }

    // Moves to an absolute offset; an offset past the end fails.
    bool Seek(std::size_t offset)
    {
        if (offset > bytes_.size())
            return false;
        position_ = offset;
        return true;
    }

    bool Skip(std::size_t count)
    {
        if (count > Remaining())
            return false;
        position_ += count;
        return true;
    }

    std::optional<std::uint8_t> ReadU8() { return Read<std::uint8_t>(); }
    std::optional<std::uint16_t> ReadU16() { return Read<std::uint16_t>(); }
    std::optional<std::uint32_t> ReadU32() { return Read<std::uint32_t>(); }
    std::optional<std::uint64_t> ReadU64() { return Read<std::uint64_t>(); }
    std::optional<std::int8_t> ReadI8() { return Read<std::int8_t>(); }
    std::optional<std::int16_t> ReadI16() { return Read<std::int16_t>(); }
    std::optional<std::int32_t> ReadI32() { return Read<std::int32_t>(); }
    std::optional<std::int64_t> ReadI64() { return Read<std::int64_t>(); }

    // A view of the next count bytes, which the cursor then steps over.
    std::optional<std::span<const std::uint8_t>> Take(std::size_t count)
    {
        if (count > Remaining())
            return std::nullopt;
        auto run = bytes_.subspan(position_, count);
        position_ += count;
        return run;
    }

    // Copies out.size() bytes into out.
    bool ReadBytes(std::span<std::uint8_t> out)
    {
        auto run = Take(out.size());
        if (!run)
            return false;
        if (!out.empty())
            std::memcpy(out.data(), run->data(), out.size());
        return true;
    }

    // Reads at an absolute offset without moving the cursor.
    template <typename T> std::optional<T> ReadAt(std::size_t offset) const
    {
        if (offset > bytes_.size() || sizeof(T) > bytes_.size() - offset)
            return std::nullopt;
        return Decode<T>(bytes_.data() + offset);
    }

    template <typename T> std::optional<T> Read()
    {
        auto value = ReadAt<T>(position_);
        if (value)
            position_ += sizeof(T);
        return value;
    }

private:
    template <typename T> static T Decode(const std::uint8_t* p)
    {
        static_assert(std::is_integral_v<T>, "ByteCursor reads integers");
        using Unsigned = std::make_unsigned_t<T>;
        Unsigned value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<Unsigned>(value | (static_cast<Unsigned>(p[i]) << (8 * i)));
        return static_cast<T>(value);
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace platform
