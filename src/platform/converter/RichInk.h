#pragma once

// The document converter, which stands where the handheld's Rich Ink
// control stood: a hidden control that takes a document in with
// EM_STREAMIN and gives it back, converted, with EM_STREAMOUT. Content is
// exchanged through a caller's callback in chunks, as the control did.
//
// Plain text streamed in as Pocket Word form is accepted and given back as
// Unicode text: a UTF-8 byte-order mark, or bytes that are valid UTF-8 with
// multi-byte sequences, read as UTF-8; any other bytes through the ANSI code
// page of the locale. UTF-16 text with a byte-order mark, text with NUL
// bytes and text the code page cannot read are refused, so the caller
// prints the raw file.
//
// RTF ("{\rtf", streamed in as RTF or as Pocket Word form) is accepted and
// given back as RTF in the reader's vocabulary (the converter's RTF route,
// RtfRoute.h; RTF the route cannot read is given back as it came), or as
// Unicode text by the converter's own RTF-to-text conversion. A Pocket Word document ("{\pwi", streamed in as
// Pocket Word form) is read with libwps, its 8-bit text in the locale's
// ANSI code page, and given back as RTF or Unicode text; one libwps cannot
// read is refused.

#include "Module.h"

#include <cstdint>
#include <memory>

namespace platform {

using WindowHandle = void*;

inline constexpr unsigned EM_STREAMIN = 0x449;
inline constexpr unsigned EM_STREAMOUT = 0x44A;

// Stream formats, passed as the message's first parameter.
inline constexpr std::uintptr_t SF_RTF = 0x2;
inline constexpr std::uintptr_t SF_UNICODE_TEXT = 0x11; // UTF-16 little-endian, no mark
inline constexpr std::uintptr_t SF_POCKETWORD = 0x10800;
inline constexpr std::uintptr_t SF_POCKETWORD_RTF = SF_POCKETWORD | SF_RTF;

// The callback reads (stream-in) or writes (stream-out) one chunk and
// reports the bytes it moved in *done; a non-zero result stops the stream
// and is kept in dwError.
using EDITSTREAMCALLBACK
    = std::uint32_t (*)(std::uintptr_t cookie, std::uint8_t* buffer, std::int32_t count, std::int32_t* done);

struct EDITSTREAM {
    std::uintptr_t dwCookie = 0;
    std::uint32_t dwError = 0;
    EDITSTREAMCALLBACK pfnCallback = nullptr;
};

// dwError of a stream-out the converter cannot give in the requested format.
inline constexpr std::uint32_t kStreamFormatNotAvailable = 0xFFFF0001;

// The largest document the converter takes in; its UTF-16 form must still
// fit a signed 32-bit length.
inline constexpr std::int32_t kMaxStreamInBytes = 256 * 1024 * 1024;

// The class name of the control, registered by InitRichInkDLL.
inline constexpr const char16_t* kRichInkClass = u"richink";

class RichInkControl;
using RichInkWindow = RichInkControl*;

// Registers the control's window class; once per process is enough.
void InitRichInkDLL();

// Creates a hidden converter window (the control's id, its parent and
// module are kept for the record). Null when InitRichInkDLL was not called.
RichInkWindow CreateRichInkWindow(WindowHandle parent, int controlId, ModuleHandle module);
void DestroyWindow(RichInkWindow window);

// EM_STREAMIN: 0 when the control accepted the content, non-zero when it
// refused it (the previous content is then gone).
// EM_STREAMOUT: the number of bytes given to the callback.
// Any other message, or a null window or stream, gives 0 and does nothing.
std::intptr_t SendMessageW(RichInkWindow window, unsigned message, std::uintptr_t format, EDITSTREAM* stream);

} // namespace platform
