#pragma once

// Symbol, Wingdings and Webdings: fonts whose characters stand at the
// places of letters. The converter's RTF route writes them as the Unicode
// characters they look like, in a face that has those.

#include <cstdint>
#include <string_view>

namespace platform {

enum class SymbolFace { None, Symbol, Dingbats };

// Which symbol face a face name is; None for a text face.
SymbolFace SymbolFaceOf(std::string_view face);

// A character code of a symbol face as Unicode; signs without an equivalent
// give a bullet rather than nothing.
char16_t SymbolCharacter(std::uint8_t code, SymbolFace face);

} // namespace platform
