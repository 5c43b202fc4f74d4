#pragma once

// UTF-8 (the POSIX side: arguments, paths, the terminal) to UTF-16 (the
// program's own text) and back. Malformed input becomes U+FFFD; nothing is
// dropped silently.

#include <string>
#include <string_view>

namespace shell {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace shell
