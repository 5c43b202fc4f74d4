#pragma once

// Code pages: the ANSI code page of the environment's language, and the
// conversion of code-page bytes to UTF-16 for the code pages documents use.
// Converters are opened once per thread and code page and then reused,
// because the document readers convert one character at a time.

#include "LocaleTypes.h"

#include <cstdint>

namespace platform {

using UINT = unsigned int;

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr UINT CP_UTF8 = 65001;

// Fail instead of substituting; conversions here always fail on a byte
// sequence the code page does not define, so the flag changes nothing.
inline constexpr std::uint32_t MB_ERR_INVALID_CHARS = 0x08;

// The ANSI code page of a language: 1252 for western languages, 1250 central
// European, 1251 Cyrillic, 1253 Greek, 1254 Turkish, 1255 Hebrew, 1256
// Arabic, 1257 Baltic, 1258 Vietnamese, 874 Thai, 932 Japanese, 936
// simplified and 950 traditional Chinese, 949 Korean.
UINT AnsiCodePageOfLanguage(LANGID langId);

// The ANSI code page of the environment's language (LC_ALL, LC_CTYPE, then
// LANG); "C", "POSIX" and unknown languages give 1252.
UINT GetACP();

// Whether the code page can be converted: 874, 932, 936, 949, 950, 1250 to
// 1258, CP_UTF8, and CP_ACP / CP_THREAD_ACP.
bool IsValidCodePage(UINT codePage);

// Converts `count` bytes (-1: up to and including the terminating zero) to
// UTF-16 in `out`. Returns the number of units written, or with outSize 0
// the number needed. Returns 0 when the code page is not supported, the
// bytes hold a sequence the code page does not define (also a lead byte
// without its trail byte), or `out` is too small.
int MultiByteToWideChar(UINT codePage, std::uint32_t flags, const char* bytes, int count, char16_t* out, int outSize);

// Whether `byte` starts a two-byte character in the code page: always false
// for single-byte code pages and for those that cannot be converted.
bool IsDBCSLeadByteEx(UINT codePage, std::uint8_t byte);

} // namespace platform
