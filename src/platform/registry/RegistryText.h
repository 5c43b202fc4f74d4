#pragma once

// The registry as a text file in the registry export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Apps\Brackwater\Tallowin]
//   "PrStore"=hex:00,00,00,00,...
//
// with long hex values continued on lines indented by two spaces after a
// trailing backslash, so the file can be read, edited by hand and imported on another system.
// The reader accepts UTF-16LE with a byte-order mark (what the platform's
// own editor exports), UTF-8 with or without a byte-order mark, and ASCII;
// CRLF, LF or CR line ends; spaces around '=' and in hex lists; ';' comment
// lines. Comment lines and blank lines are kept with the key or value they
// precede (or at the end of the file), so a file edited by hand keeps its
// notes in place through every save. The writer always produces UTF-8 with CRLF line ends and no
// byte-order mark: it is plain ASCII whenever the names and strings are, it
// stays readable by line-oriented tools, and the platform's importer accepts
// it. Whole files and single values are bounded, so a huge or hostile file
// cannot exhaust memory: such a file is reported as damaged.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

inline constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxValueBytes = 1024 * 1024;
inline constexpr std::size_t kMaxNameUnits = 16383;

inline constexpr std::uint32_t kTypeString = 1; // REG_SZ
inline constexpr std::uint32_t kTypeBinary = 3; // REG_BINARY
inline constexpr std::uint32_t kTypeDword = 4; // REG_DWORD

// Comment and blank lines, as written, that stand before a key or a value.
using NoteLines = std::vector<std::u16string>;

struct RegistryValue {
    std::u16string Name; // empty: the key's default value, written as @
    std::uint32_t Type = kTypeBinary;
    std::vector<std::uint8_t> Data;
    NoteLines Before;
};

struct RegistryKey {
    std::u16string Path; // full path with its root, e.g. HKEY_LOCAL_MACHINE\Software
    std::vector<RegistryValue> Values;
    NoteLines Before { u"" }; // a new key is set off by one blank line
};

// Keys and values in file order; names are unique up to case.
struct RegistryData {
    std::vector<RegistryKey> Keys;
    NoteLines Preamble; // before the header line
    NoteLines Trailing { u"" }; // after the last key
};

struct ParseResult {
    RegistryData Data;
    bool Damaged = false;
    std::size_t Line = 0; // 1-based line of the first fault when damaged
    std::string Reason; // what is wrong, for the user
};

// Reads a whole file image. A damaged file yields empty Data: nothing of it
// is used, so a half-understood file never feeds wrong settings.
ParseResult ParseRegistryText(std::span<const std::uint8_t> bytes);

std::string FormatRegistryText(const RegistryData& data);

// Key paths and value names compare without regard to ASCII letter case, as
// the registry compares them.
bool NamesEqual(std::u16string_view a, std::u16string_view b);

const RegistryKey* FindKey(const RegistryData& data, std::u16string_view path);
RegistryKey* FindKey(RegistryData& data, std::u16string_view path);

// A key exists when it is listed or when a listed key lies below it, as in an
// import, which creates the parents of every key it names.
bool KeyExists(const RegistryData& data, std::u16string_view path);

// Finds the key or appends an empty one.
RegistryKey& AddKey(RegistryData& data, std::u16string_view path);

const RegistryValue* FindValue(const RegistryKey& key, std::u16string_view name);

// Replaces the value of that name (keeping its place) or appends it.
void SetValue(RegistryKey& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data);

} // namespace platform::registry
