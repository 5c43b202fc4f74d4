#pragma once

// The program's side of the printing library: it is loaded at start-up and
// every call goes through a table of functions found by name. The wrappers
// below carry the library's own names, so callers read PLW_Init(title) and
// CreateFontIndirectW(&font) as they would on the handheld.

#include "Module.h"

#include <plotwise/plotwise_list.h>

#include <cstdint>

namespace platform {

// The file name of the printing library in the program's library directory.
inline constexpr const char* kPrintingLibraryFile = "libplotwise.so";

// Finds every exported function of an already loaded printing library.
// Returns false, and binds nothing, when any function is missing.
bool BindPrintingLibrary(ModuleHandle library);

// True once BindPrintingLibrary succeeded.
bool PrintingLibraryBound();

// Forgets the bound functions (tests; the end of an interactive run).
void UnbindPrintingLibrary();

} // namespace platform

// Calls into the bound library, one function pointer per export, named as
// the export. They are null until BindPrintingLibrary succeeds: the start-up
// sequence refuses to run without the library, so a call before that is a
// programming error.
#define PLOTWISE_POINTER(ret, name, params) extern ret(*name) params;
PLOTWISE_FUNCTIONS(PLOTWISE_POINTER)
#undef PLOTWISE_POINTER

// The platform GDI names the layout code uses for the objects it makes.
inline HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    return PLW_CreateFontIndirectW(font);
}
inline HPEN CreatePenIndirect(const LOGPEN* pen)
{
    return PLW_CreatePenIndirect(pen);
}
inline HBRUSH CreateSolidBrush(COLORREF color)
{
    return PLW_CreateSolidBrush(color);
}
inline HGDIOBJ GetStockObject(int32_t index)
{
    return PLW_GetStockObject(index);
}
inline int32_t DeleteObject(HGDIOBJ object)
{
    return PLW_DeleteObject(object);
}
inline int32_t GetTextFaceW(HDC dc, int32_t count, PLW_WCHAR* face)
{
    return PLW_GetTextFaceW(dc, count, face);
}
