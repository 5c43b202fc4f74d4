#pragma once

// Strict conversions between UTF-8 and UTF-16 for the registry file. Invalid
// input (a malformed UTF-8 sequence, an unpaired surrogate) is refused rather
// than replaced, so a name or string never changes silently on a round trip.

#include <optional>
#include <string>
#include <string_view>

namespace platform::registry {

std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

// True when every surrogate in text is part of a pair.
bool IsWellFormedUtf16(std::u16string_view text);

} // namespace platform::registry
