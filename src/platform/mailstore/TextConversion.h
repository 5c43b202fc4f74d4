#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD and reading goes on
// with the next byte.
void AppendUtf8AsUtf16(std::u16string& out, std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

} // namespace platform
