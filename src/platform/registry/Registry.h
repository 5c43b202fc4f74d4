#pragma once

// The registry operations the program uses, with their published names and
// results, kept in one text file (see RegistryText.h for its format and
// RegistryFile.h for where it lives and how it is saved).
//
// Opening or creating a key reads the file afresh, so a key opened later
// sees what other processes saved meanwhile. Values set through a handle are
// visible at once to every handle of this process and reach the file when
// that handle is closed: the settings writer sets its four
// values and then closes the key, so one save is one locked rewrite of the
// file and another process reads either all of the new values or none.
// A failed write is reported by RegCloseKey; the file then keeps
// its older content. The calls may be made from several threads.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using REGSAM = std::uint32_t;

struct HKEY__;
using HKEY = HKEY__*;

inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_WRITE_FAULT = 29;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens an existing key below key (HKEY_LOCAL_MACHINE or an open handle).
// ERROR_FILE_NOT_FOUND when it does not exist; ERROR_BAD_PATHNAME for a
// path with empty parts.
LONG RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD options, REGSAM access, HKEY* result);

// Opens the key, creating it (and its parents) when missing; disposition
// (may be null) tells which happened.
LONG RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD reserved, char16_t* keyClass, DWORD options, REGSAM access,
    const void* security, HKEY* result, DWORD* disposition);

// Reads a value. With data null and dataSize set, only the size is given.
// When *dataSize is too small: ERROR_MORE_DATA, *dataSize becomes the size
// needed and the buffer is left untouched. The type (when asked) is given
// whenever the value exists.
LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);

// Sets a value (at most 1 MiB). Names may not hold control characters.
LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);

// This layer's own additions, for values of a fixed layout that several
// running copies share.
//
// Sets a value whose data is made at the save, under the file's lock, from
// the value the file holds at that moment (null when it holds none), so a
// copy can write only the parts it changed over what another copy saved
// meanwhile. Until then this process sees merge applied to the value as
// last read.
using RegValueMerge = std::function<std::vector<BYTE>(const std::vector<BYTE>* stored)>;
LONG RegSetValueMergedW(HKEY key, const char16_t* valueName, DWORD type, RegValueMerge merge);

// Names the check a value below HKEY_LOCAL_MACHINE must pass: from now on a
// file holding subKey's value with data the check refuses (it says why) is
// damaged: nothing of it is read, and the next save keeps it aside.
using RegValueCheck = std::function<std::optional<std::string>(std::span<const BYTE> data)>;
LONG RegSetValueCheckW(const char16_t* subKey, const char16_t* valueName, RegValueCheck check);

// Closes the handle; when values were set through it, the pending changes
// are written first. ERROR_WRITE_FAULT when that write failed (the handle
// is closed all the same).
LONG RegCloseKey(HKEY key);

} // namespace platform
