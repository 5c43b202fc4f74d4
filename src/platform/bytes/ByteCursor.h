#pragma once

// Reads little-endian integers at offsets inside a span without ever reading
// past its end: a field whose bytes are not all there reads as std::nullopt,
// so a reader can report a truncated record and stop cleanly.

#include <cstddef>
#include <cstdint>
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

    // The integer of type T at the offset, if all its bytes are inside.
    template <typename T> std::optional<T> ReadAt(std::size_t offset) const
    {
        static_assert(std::is_integral_v<T>, "ByteCursor reads integers");
        if (offset > bytes_.size() || sizeof(T) > bytes_.size() - offset)
            return std::nullopt;
        using Unsigned = std::make_unsigned_t<T>;
        Unsigned value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<Unsigned>(value | (static_cast<Unsigned>(bytes_[offset + i]) << (8 * i)));
        return static_cast<T>(value);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace platform
