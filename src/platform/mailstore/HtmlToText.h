#pragma once

// A plain-text rendering of an HTML body (UTF-8), for messages that have no
// plain part, read with libxml2's HTML parser: tags, attributes and comments
// are dropped (with the content of script, style and head), character
// references decoded, runs of white space collapsed, and block elements and
// <br> turned into line ends (CR LF); a paragraph leaves an empty line after
// it. Empty when the parser cannot be loaded.

#include <string>
#include <string_view>

namespace platform {

std::u16string HtmlToText(std::string_view html);

} // namespace platform
