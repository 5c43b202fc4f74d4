/*
 * Plotwise, the printing library: the list of its exported functions, for
 * the library's declarations and for callers that bind them with dlsym.
 */
#ifndef PLOTWISE_LIST_H
#define PLOTWISE_LIST_H

#include "plotwise_types.h"

/* X(return type, name, parameter list) */
#define PLOTWISE_FUNCTIONS(X)                                                                                          \
    X(int32_t, PLW_GetVersion, (void))                                                                                 \
    X(int32_t, PLW_Init, (const PLW_WCHAR* title))                                                                     \
    X(void, PLW_SetReportLevel, (int32_t level))                                                                       \
    X(int32_t, PLW_PrintDlg, (PLW_PAGESETUP * setup))                                                                  \
    X(HDC, PLW_GetPrinterDC, (void))                                                                                   \
    X(int32_t, PLW_GetDeviceCaps, (HDC dc, int32_t index))                                                             \
    X(int32_t, PLW_SetBkMode, (HDC dc, int32_t mode))                                                                  \
    X(HGDIOBJ, PLW_SelectObject, (HDC dc, HGDIOBJ object))                                                             \
    X(COLORREF, PLW_SetTextColor, (HDC dc, COLORREF color))                                                            \
    X(COLORREF, PLW_SetBkColor, (HDC dc, COLORREF color))                                                              \
    X(int32_t, PLW_GetTextMetrics, (HDC dc, TEXTMETRICW * metrics))                                                    \
    X(int32_t, PLW_GetTextExtentExPoint,                                                                               \
        (HDC dc, const PLW_WCHAR* text, int32_t count, int32_t maxExtent, int32_t* fit, int32_t* dx, SIZE* size))      \
    X(int32_t, PLW_ExtTextOut,                                                                                         \
        (HDC dc, int32_t x, int32_t y, uint32_t options, const RECT* rect, const PLW_WCHAR* text, uint32_t count,      \
            const int32_t* dx))                                                                                        \
    X(int32_t, PLW_Rectangle, (HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom))                      \
    X(int32_t, PLW_Polyline, (HDC dc, const POINT* points, int32_t count))                                             \
    X(int32_t, PLW_DrawPictIndirect, (HDC dc, const PLW_PICTURE* picture, int32_t x, int32_t y))                       \
    X(int32_t, PLW_EndPage, (HDC dc))                                                                                  \
    X(int32_t, PLW_StartPage, (HDC dc))                                                                                \
    X(int32_t, PLW_EndDoc, (HDC dc))                                                                                   \
    X(int32_t, PLW_StatusCheck, (void))                                                                                \
    X(int32_t, PLW_DeleteDC, (HDC dc))                                                                                 \
    X(void, PLW_UnInit, (void))                                                                                        \
    X(HFONT, PLW_CreateFontIndirectW, (const LOGFONTW* font))                                                          \
    X(HPEN, PLW_CreatePenIndirect, (const LOGPEN* pen))                                                                \
    X(HBRUSH, PLW_CreateSolidBrush, (COLORREF color))                                                                  \
    X(HGDIOBJ, PLW_GetStockObject, (int32_t index))                                                                    \
    X(int32_t, PLW_DeleteObject, (HGDIOBJ object))                                                                     \
    X(int32_t, PLW_GetTextFaceW, (HDC dc, int32_t count, PLW_WCHAR * face))                                            \
    X(HDC, PLW_GetScreenDC, (void))                                                                                    \
    X(int32_t, PLW_ReleaseScreenDC, (HDC dc))                                                                          \
    X(int32_t, PLW_EnumFontsW, (HDC dc, const PLW_WCHAR* face, PLW_FONTENUMPROC proc, void* data))

#endif
