#pragma once

// A plain-text rendering of an HTML body, for messages that have no plain
// part: tags are dropped (with the content of script, style and head),
// character references decoded, runs of white space collapsed, and block
// elements and <br> turned into line ends (CR LF); a paragraph leaves an
// empty line after it.

#include <string>
#include <string_view>

namespace platform {

std::u16string HtmlToText(std::u16string_view html);

} // namespace platform
