#pragma once

// The sizes and tab sizes the font dialogs offer.

#include <array>
#include <cstdint>

namespace shell {

// Points; the same table for plain text and e-mail.
inline constexpr std::array<std::int32_t, 20> kFontSizes
    = { 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 };

// Characters.
inline constexpr std::array<std::int32_t, 9> kTabSizes = { 0, 1, 2, 3, 4, 5, 6, 8, 10 };

} // namespace shell
