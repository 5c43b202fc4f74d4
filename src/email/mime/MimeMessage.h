#pragma once

// The MIME route of e-mail printing: To, Cc and the body taken straight from
// a message's MIME text, for messages whose recipient table cannot be had.

#include "MapiInterfaces.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace email {

inline constexpr unsigned kUnsupportedFormatMessage = 40066;
inline constexpr std::size_t kUnsupportedFormatMessageLength = 200;

// Reads the MIME text of `message`. To and Cc receive the header texts when
// the headers hold them and are left untouched otherwise. The body receives
// the bytes of the whole body of a "text/plain" message, of the first
// "text/plain" part of a "multipart" message, or the notice for other
// formats. Returns the body length, 0 for no body; a failure is recorded in
// the e-mail state (steps 2, 24, 25).
std::int32_t ExtractMimeMessage(platform::IMessage& message, std::optional<std::u16string>& to,
    std::optional<std::u16string>& cc, std::vector<std::uint8_t>& body);

} // namespace email
