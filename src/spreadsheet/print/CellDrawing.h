#pragma once

// Everything the sheet printer puts on paper: cell formats (font, colours,
// brush, alignment), the scaled drawing primitives, cell boxes with their
// fills and borders, and format bands. Coordinates are unscaled layout
// units; when the print is scaled each coordinate handed to the printing
// library is multiplied by the scale and each measured extent divided back.

#include <plotwise/plotwise_types.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace spreadsheet {

inline constexpr std::size_t kPaletteSize = 57;
inline constexpr std::uint16_t kNoBackgroundIndex = 255;
inline constexpr std::int32_t kNoCachedFormat = -1;

// Horizontal and vertical placement; the values are also the flag bits of
// DrawTextInRect.
inline constexpr int kAlignLeftFlag = 0;
inline constexpr int kAlignCenterFlag = 1;
inline constexpr int kAlignRightFlag = 2;
inline constexpr int kAlignTopFlag = 0;
inline constexpr int kAlignMiddleFlag = 4;
inline constexpr int kAlignBottomFlag = 8;

enum class ValueKind : bool { Number = false, Text = true };
enum class BorderFill : bool { FillToo = false, BordersOnly = true };

// The state of the cell drawing for one print.
struct CellDrawingState {
    std::int32_t CachedFormat = kNoCachedFormat;
    std::span<const std::uint8_t> CurrentFormatRecord;
    int HAlign = kAlignLeftFlag;
    int VAlign = kAlignBottomFlag;
    bool CenterAcross = false;
    bool WrapText = false;
    std::uint16_t BackgroundIndex = kNoBackgroundIndex;
    std::uint16_t NumberFormatNumber = 0;
    std::int32_t AverageWidth = 0;
    std::int32_t FontHeight = 0;
    COLORREF TextColor = 0;
    bool ScaledFontCurrent = false;
    HBRUSH Brush = nullptr; // the program's own brush, when it has one
    HPEN Pen = nullptr; // the program's own pen
    std::int32_t PenWidth = -1;
    std::int32_t PenColor = -1;
};

CellDrawingState& Drawing();

COLORREF PaletteColor(std::size_t index);

// Makes cell format `format` current; a format index outside the list gives
// the neutral format.
void ApplyCellFormat(std::int32_t format, ValueKind kind);
// Forgets the applied format, so the next cell applies its own in full.
void ForgetCachedFormat();
void SelectCellFont(std::size_t font);
int SelectCellPen(std::int32_t width, std::int32_t color);

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void DrawRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// Measures `count` units of text; fit gets how many fit in maxWidth.
void MeasureText(const char16_t* text, int count, std::int32_t maxWidth, int& fit, SIZE& size);
void DrawText(std::int32_t x, std::int32_t y, std::uint32_t options, const RECT* rect, const char16_t* text, int count);
// Draws text aligned in a box by flags (kAlign...); count −1 takes the text
// up to its terminator.
void DrawTextInRect(const char16_t* text, int count, int flags, const RECT& box, std::uint32_t options);

// The cell box of a cell on the page: applies its format, draws its fill and
// borders and gives its text rectangle. 0 when the cell is off the page or
// hidden.
int DrawCellBox(RECT& textRect, std::uint16_t column, std::uint16_t row, std::int32_t format, ValueKind kind);
void DrawBorders(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, BorderFill fill);
void FillBand(std::uint16_t firstCol, std::uint16_t firstRow, std::uint16_t lastCol, std::uint16_t lastRow);

// The cell record being drawn and the end of its sheet's records, set by
// the sheet walk: centring across looks at the records that follow the cell.
void SetCellRecord(std::size_t record, std::size_t sheetEnd);

// Selects the stock null brush for text, and the program's brush again.
void SelectNullBrush();
void SelectProgramBrush();
// Selects the stock null brush and deletes the program's brush.
void DropProgramBrush();

// Deletes the program's pen and brush and the fonts of the neutral font;
// ReleaseWorkbook calls it, and so may a test.
void ReleaseCellDrawing();
// Forgets the drawing state without calling the printing library (tests).
void ResetCellDrawing();

} // namespace spreadsheet
