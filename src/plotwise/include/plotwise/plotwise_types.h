/*
 * Plotwise, the printing library: types and constants shared by the library
 * and its callers. The calls mirror the GDI calls of the same name on a
 * printer device context. Everything here is plain C so that any program can
 * load the library with dlopen and call it through dlsym.
 */
#ifndef PLOTWISE_TYPES_H
#define PLOTWISE_TYPES_H

#include <stdint.h>

#ifdef __cplusplus
typedef char16_t PLW_WCHAR;
#else
#include <uchar.h>
typedef char16_t PLW_WCHAR;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version this build reports through PLW_GetVersion. Callers refuse a
 * library below 2970. */
#define PLOTWISE_MINIMUM_VERSION 2970

typedef struct PLW_DeviceContext* HDC;
typedef struct PLW_GdiObject* HGDIOBJ;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;

/* 0x00BBGGRR */
typedef uint32_t COLORREF;
#define PLW_RGB(r, g, b)                                                                                               \
    ((COLORREF)(((uint8_t)(r)) | ((uint32_t)((uint8_t)(g)) << 8) | ((uint32_t)((uint8_t)(b)) << 16)))

typedef struct {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} RECT;

typedef struct {
    int32_t x;
    int32_t y;
} POINT;

typedef struct {
    int32_t cx;
    int32_t cy;
} SIZE;

#define LF_FACESIZE 32

typedef struct {
    int32_t lfHeight; /* negative: character height; positive: cell height */
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    PLW_WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW;

typedef struct {
    int32_t tmHeight;
    int32_t tmAscent;
    int32_t tmDescent;
    int32_t tmInternalLeading;
    int32_t tmExternalLeading;
    int32_t tmAveCharWidth;
    int32_t tmMaxCharWidth;
    int32_t tmWeight;
    int32_t tmOverhang;
    int32_t tmDigitizedAspectX;
    int32_t tmDigitizedAspectY;
    PLW_WCHAR tmFirstChar;
    PLW_WCHAR tmLastChar;
    PLW_WCHAR tmDefaultChar;
    PLW_WCHAR tmBreakChar;
    uint8_t tmItalic;
    uint8_t tmUnderlined;
    uint8_t tmStruckOut;
    uint8_t tmPitchAndFamily;
    uint8_t tmCharSet;
} TEXTMETRICW;

typedef struct {
    uint32_t lopnStyle; /* PS_SOLID or PS_NULL */
    POINT lopnWidth; /* x is the width in device units; 0 means one dot */
    COLORREF lopnColor;
} LOGPEN;

/* Pen styles */
#define PS_SOLID 0
#define PS_NULL 5

/* Stock objects */
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

/* Background modes */
#define TRANSPARENT 1
#define OPAQUE 2

/* ExtTextOut options */
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

/* Device capability indices */
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define PHYSICALOFFSETX 112
#define PHYSICALOFFSETY 113

/* Font weights and character sets */
#define FW_NORMAL 400
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2

/*
 * The page-setup record handed to PLW_PrintDlg: 68 bytes. The caller sets
 * the size and the flags; the dialog fills the margins, in thousandths of an
 * inch when the locale measures in U.S. units, else hundredths of a
 * millimetre.
 */
typedef struct {
    uint32_t lStructSize; /* 68 */
    uint32_t reserved1[2];
    uint32_t Flags; /* PLW_PSD_DEFAULT_FLAGS, plus PLW_PSD_QUICKPRINT */
    uint32_t reserved2[4];
    RECT rtMargin; /* left, top, right, bottom */
    uint32_t reserved3[5];
} PLW_PAGESETUP;

#define PLW_PSD_DEFAULT_FLAGS 0x0F00u
/* Print at once with the setup as it stands, never ask. */
#define PLW_PSD_QUICKPRINT 0x2000u

/*
 * A picture for PLW_DrawPictIndirect. The numbers are those of the RTF
 * picture keywords; Data points at DataSize bytes. The library recognises
 * the data by its bytes (device-independent bitmap, PNG, JPEG) and draws it
 * at the goal size; data it cannot decode draws nothing.
 */
typedef struct {
    int32_t Type; /* 0 = device-independent bitmap */
    int32_t SourceWidth;
    int32_t SourceHeight;
    int32_t GoalWidth; /* twips */
    int32_t GoalHeight; /* twips */
    int32_t ScaleX; /* percent; 0 = 100 */
    int32_t ScaleY;
    int32_t BitsPerPixel;
    int32_t Planes;
    int32_t BytesPerRow;
    int32_t DataSize;
    int32_t CropLeft; /* twips */
    int32_t CropTop;
    int32_t CropRight;
    int32_t CropBottom;
    const uint8_t* Data;
} PLW_PICTURE;

/* Print outcome values of PLW_StatusCheck */
#define PLW_STATUS_PRINTED 0
#define PLW_STATUS_CANCELLED 1
#define PLW_STATUS_FAILED 2

/* Font enumeration: called once per family; return 0 to stop. */
typedef int (*PLW_FONTENUMPROC)(const LOGFONTW* font, const TEXTMETRICW* metrics, uint32_t fontType, void* data);

#ifdef __cplusplus
}
#endif

#endif
